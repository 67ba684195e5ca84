#pragma once

#include <QDateTime>
#include <QIODevice>
#include <QRectF>
#include <string>
#include <vector>

namespace ostrel::qtdocument {

// A place in the PDF: a 1-based page and a height on it in points from the
// top of the sheet.
struct PdfPlace {
    int page = 0;
    double top = 0;
};

struct PdfOutlineEntry {
    std::string title;
    PdfPlace place;
    std::vector<PdfOutlineEntry> children;
};

struct PdfLink {
    int page = 0;
    QRectF rect;  // points from the top-left corner of the sheet
    PdfPlace target;
};

struct PdfInfo {
    std::string title;
    std::string author;
    std::string creator;
    QDateTime created;
};

// Adds the outline, links and document information to the PDF file at
// inputPath and writes the result to output. Throws std::runtime_error when
// the file cannot be read or written.
void AddPdfNavigation(const std::string& inputPath, QIODevice& output,
                      const std::vector<PdfOutlineEntry>& outline,
                      const std::vector<PdfLink>& links, const PdfInfo& info);

}  // namespace ostrel::qtdocument
