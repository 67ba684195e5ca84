#pragma once

#include <memory>
#include <string>

#include "components/qtdocument/pdf_stream.h"
#include "components/qtdocument/qt_report_document.h"
#include "engine/run_ports.h"

namespace ostrel::cli {

// The paged report of the batch program as a PDF file: the run lays the
// report out in a Qt report document as for the desktop preview, each page
// going into the file as soon as it is laid out; completing the document
// finishes the file. Needs a QGuiApplication.
class PdfOutput final : public engine::PagedOutput {
  public:
    explicit PdfOutput(std::string pdfPath);

    document::ReportDocument& Document() override { return document_; }
    void SetDatabasePath(const std::string& path) override { document_.SetDatabaseName(path); }
    // Finishes the PDF. Throws document::OutputError when the file cannot be
    // written, std::runtime_error naming the file for other failures.
    void Complete(int pages) override;

  private:
    std::string pdfPath_;
    qtdocument::QtReportDocument document_;
    qtdocument::PdfStream stream_;
};

// Makes sure Qt can draw without a display: selects the offscreen platform
// when none is chosen and no display is reachable, then creates the
// application object for the rest of the program's life.
void EnsureGuiApplication();

}  // namespace ostrel::cli
