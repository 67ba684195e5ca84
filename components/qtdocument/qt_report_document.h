#pragma once

#include <QLocale>
#include <QPageSize>
#include <QRectF>
#include <QSizeF>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "components/document/report_document.h"
#include "components/qtdocument/paginator.h"
#include "components/qtdocument/text_shaper.h"

class QPainter;
class QPrinter;

namespace ostrel::qtdocument {

// The report document on Qt: lays out paragraphs and tables on pages of the
// locale's paper as they arrive, draws any page at any scale on demand, prints
// and saves as PDF. Needs a QGuiApplication (the offscreen platform will do).
//
// Setup values, as the run passes them:
// - SetPageBorder: 0 draws no border; any other value frames the body of
//   every page with a thin rule.
// - SetCaptionTextSize: point size of the running caption (8 by default).
// - SetPreviewMode: the document is always kept for the preview and printed
//   only on request, so the flag is recorded and changes nothing.
//
// Looks: text is set in a sans-serif face (DejaVu Sans where installed, with
// the system's fallback fonts for other scripts). A section heading is bold
// with a strong rule under it; an object heading is bold on a light band
// across the page; a section heading wins when both are on. Table styles are
// described with Paginator. A running caption and the setup apply from the
// next StartDocument.
class QtReportDocument final : public document::ReportDocument {
  public:
    explicit QtReportDocument(const QLocale& locale = QLocale::system());
    ~QtReportDocument() override;
    QtReportDocument(const QtReportDocument&) = delete;
    QtReportDocument& operator=(const QtReportDocument&) = delete;

    void SetPageBorder(std::int32_t style) override;
    void SetCaptionTextSize(std::int16_t points) override;
    void SetPreviewMode(bool on) override;
    void SetPageCaption(const std::string& caption) override;
    void StartDocument() override;
    void SetTextSize(std::int16_t points) override;
    void SetHeadingEmphasis(bool on) override;
    void SetObjectHeadingEmphasis(bool on) override;
    void SetTableStyle(std::int32_t style) override;
    void AddParagraph(const std::string& text) override;
    void AddTable(const std::string& text) override;
    // Each diagram page is a page of its own; see diagram_pages.h.
    void AddDiagram(const diagram::DiagramModel& model) override;
    void EndDocument() override;
    int PageCount() const override;
    int PreviewPage() const override { return previewPage_; }
    // Clamped to the pages the document has.
    void SetPreviewPage(int page) override;
    // Prints on the system's default printer.
    void PrintDocument() override;

    // Prints the pages the printer's settings ask for (all by default).
    // Throws std::runtime_error when the printer cannot be used.
    void Print(QPrinter& printer) const;
    // Writes the whole document as a PDF file. The file appears complete or
    // not at all: it is written under a temporary name and renamed at the end.
    bool SavePdf(const std::string& path, std::string& error) const;

    // Draws page (1-based) so that the sheet fills target.
    void RenderPage(int page, QPainter& painter, const QRectF& target) const;

    QPageSize Paper() const { return paper_; }
    // Width divided by height of the sheet.
    double PageAspect() const;
    bool PreviewModeFlag() const { return previewMode_; }
    bool Finished() const { return finished_; }
    const std::vector<PlacedText>& Placed() const;
    // What the layout put on page (1-based); for checks of the layout.
    const LaidOutPage& PageAt(int page) const;
    const PageGeometry& Geometry() const { return geometry_; }

  private:
    Paginator& Layout();
    void DrawPage(QPainter& painter, const LaidOutPage& page) const;

    QPageSize paper_;
    PageGeometry geometry_;
    TextShaper shaper_;
    std::unique_ptr<Paginator> paginator_;
    PageDecoration decoration_;
    int textPoints_ = 8;
    bool heading_ = false;
    bool objectHeading_ = false;
    std::int32_t tableStyle_ = 0;
    bool previewMode_ = false;
    bool finished_ = false;
    int previewPage_ = 1;
};

}  // namespace ostrel::qtdocument
