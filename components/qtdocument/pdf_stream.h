#pragma once

#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTemporaryFile>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "components/qtdocument/paginator.h"
#include "components/qtdocument/pdf_navigation.h"

namespace ostrel::qtdocument {

class QtReportDocument;

// Writes a report's pages into a PDF file one at a time, in order, as they
// are laid out; Finish adds the outline, the links and the document
// information and puts the file in place. Until then the target is left as
// it was, and a stream dropped unfinished leaves nothing behind.
class PdfStream {
  public:
    PdfStream(const QtReportDocument& document, std::string path);
    ~PdfStream();
    PdfStream(const PdfStream&) = delete;
    PdfStream& operator=(const PdfStream&) = delete;

    // Draws the next page; a failure is kept for Finish to report.
    void AddPage(int page, const LaidOutPage& content);
    bool Finish(std::string& error);

  private:
    bool Open();

    const QtReportDocument& document_;
    std::string path_;
    std::string error_;
    std::unique_ptr<QSaveFile> file_;
    std::unique_ptr<QTemporaryFile> pages_;
    std::unique_ptr<QPdfWriter> writer_;
    QPainter painter_;
    int written_ = 0;
    bool failed_ = false;
    std::vector<PdfLink> links_;
    std::vector<std::string> linkTargets_;  // "kind\nname", one per link
};

}  // namespace ostrel::qtdocument
