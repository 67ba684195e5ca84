#pragma once

#include <memory>
#include <string>

#include "components/qtdocument/pdf_stream.h"
#include "components/qtdocument/qt_report_document.h"
#include "engine/run_host.h"

namespace ostrel::cli {

// The preview window of the batch program: the run lays the report out in a
// Qt report document as for the desktop preview, each page going into the
// PDF file as soon as it is laid out; "showing" the window finishes the file.
// Needs a QGuiApplication.
class PdfPreviewWindow final : public engine::PreviewWindow {
  public:
    explicit PdfPreviewWindow(std::string pdfPath);

    document::ReportDocument& Document() override { return document_; }
    void ShowPageButtons() override {}
    void SetPrevEnabled(bool /*enabled*/) override {}
    void SetCaption(const std::string& caption) override { caption_ = caption; }
    void SetDatabasePath(const std::string& path) override { document_.SetDatabaseName(path); }
    // Finishes the PDF. Throws document::OutputError when the file cannot be
    // written, std::runtime_error naming the file for other failures.
    void ShowModal() override;

    const std::string& Caption() const { return caption_; }

  private:
    std::string pdfPath_;
    std::string caption_ = "Preview";
    qtdocument::QtReportDocument document_;
    qtdocument::PdfStream stream_;
};

// Makes sure Qt can draw without a display: selects the offscreen platform
// when none is chosen and no display is reachable, then creates the
// application object for the rest of the program's life.
void EnsureGuiApplication();

}  // namespace ostrel::cli
