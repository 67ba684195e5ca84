#pragma once

#include <QDateTime>
#include <QLocale>
#include <QPageSize>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "components/document/report_document.h"
#include "components/qtdocument/item_log.h"
#include "components/qtdocument/paginator.h"
#include "components/qtdocument/text_shaper.h"

class QPainter;

namespace ostrel::qtdocument {

// One place where the text looked for occurs: the page its paragraph or
// table row starts on.
struct FindHit {
    int page = 0;
    int item = 0;
    int row = 0;
};

// The report document on Qt: lays out paragraphs and tables on pages of the
// locale's paper as they arrive, draws any page at any scale on demand and
// saves as PDF (printing is page_printer.h's, in a library of its own). Needs a QGuiApplication
// (the offscreen platform will do).
//
// Memory stays flat however long the report: the calls are kept in a
// temporary file, and of each page only where it starts is remembered. A page
// is laid out again from there whenever it is drawn; a few recently drawn
// pages are kept.
//
// Setup values, as the run passes them:
// - SetPageBorder: 0 draws no border; any other value frames the body of
//   every page with a thin rule.
// - SetCaptionTextSize: point size of the running caption (8 by default).
//
// Looks: text is set in a sans-serif face (DejaVu Sans where installed, with
// the system's fallback fonts for other scripts). A section heading is bold
// with a strong rule under it; an object heading is bold on a light band
// across the page; a section heading wins when both are on. Table styles are
// described with Paginator. A running caption and the setup apply from the
// next StartDocument.
class QtReportDocument final : public document::ReportDocument {
  public:
    using PageSink = Paginator::PageSink;

    explicit QtReportDocument(const QLocale& locale = QLocale::system());
    ~QtReportDocument() override;
    QtReportDocument(const QtReportDocument&) = delete;
    QtReportDocument& operator=(const QtReportDocument&) = delete;

    void SetPageBorder(std::int32_t style) override;
    void SetCaptionTextSize(std::int16_t points) override;
    void SetPageCaption(const std::string& caption) override;
    void StartDocument() override;
    void SetTextSize(std::int16_t points) override;
    void SetHeadingEmphasis(bool on) override;
    void SetObjectHeadingEmphasis(bool on) override;
    void SetTableStyle(std::int32_t style) override;
    void AddParagraph(const std::string& text) override;
    using ReportDocument::AddTable;
    void AddTable(const document::TableData& table) override;
    // Lines in DejaVu Sans Mono (or another fixed-width face), numbered in a
    // margin; a line too long for the page goes on under its number, marked.
    void AddCode(const document::CodeBlock& code) override;
    void BeginSection(const std::string& title) override;
    void BeginObject(const std::string& kind, const std::string& name) override;
    // Each diagram page is a page of its own; see diagram_pages.h.
    void AddDiagram(const diagram::DiagramModel& model) override;
    void EndDocument() override;
    // While the report is still being written: the pages finished so far.
    int PageCount() const override;
    int PreviewPage() const override { return previewPage_; }
    // Clamped to the pages the document has.
    void SetPreviewPage(int page) override;
    // Hands the document to the print handler (the program's printing, such
    // as PrintOnDefaultPrinter); throws std::runtime_error when there is none.
    void PrintDocument() override;
    void SetPrintHandler(std::function<void(const QtReportDocument&)> handler) {
        printHandler_ = std::move(handler);
    }

    // Told whenever more pages are finished (with the count), and once more
    // when the document ends. Called from inside the writing calls.
    void SetPagesListener(std::function<void(int finishedPages, bool ended)> listener);
    // Hands every page to sink as the first layout finishes it (to write a
    // PDF while the report is written). Set before StartDocument.
    void SetLayoutSink(PageSink sink) { layoutSink_ = std::move(sink); }
    // Keeps every placed text with its page; for checks of the layout only.
    void KeepPlacedTexts(bool keep) { keepPlaced_ = keep; }

    // The database the report describes: names the PDF's title.
    void SetDatabaseName(const std::string& path);
    QString DatabaseName() const { return databaseName_; }

    // Writes the whole document as a PDF file with an outline of the sections
    // and objects, links from a relationship to its tables, and the
    // document's title, author and date. The file appears complete or not at
    // all: it is written under a temporary name and renamed at the end.
    bool SavePdf(const std::string& path, std::string& error) const;

    // Draws page (1-based) so that the sheet fills target.
    void RenderPage(int page, QPainter& painter, const QRectF& target) const;
    // Lays out pages from..to again and hands each to sink in order.
    void LayOutPages(int from, int to, const PageSink& sink) const;
    // The content of one page (laid out again, or from the recent pages).
    std::shared_ptr<const LaidOutPage> PageContent(int page) const;

    // Every place text occurs (ignoring case), in report order. Searches the
    // report's own text: paragraphs and table cells, separators resolved.
    std::vector<FindHit> Find(const QString& text) const;
    // Where text occurs among the lines drawn on page, in twips, in the order
    // of the report: one entry per occurrence, holding a rectangle for each
    // line it covers (more than one when it runs on across a wrap).
    std::vector<std::vector<QRectF>> MatchRects(int page, const QString& text) const;

    // The report's sections and objects in order, with the page each begins on.
    const std::vector<Block>& Blocks() const { return blocks_; }

    // Draws one laid-out page with the sheet's top-left corner at the
    // painter's origin, one unit a twip.
    void DrawPage(QPainter& painter, const LaidOutPage& page) const;
    // The same with a shaper of the drawing thread's own (see TextShaper::Match).
    void DrawPage(QPainter& painter, const LaidOutPage& page, const TextShaper& shaper) const;
    const TextShaper& Shaper() const { return shaper_; }
    // When the document was started (the run's date in the PDF).
    QDateTime Started() const { return started_; }
    // "Ostrel2 " and the version: the PDF's author and creator.
    static std::string ProgramName();

    QPageSize Paper() const { return paper_; }
    // Width divided by height of the sheet.
    double PageAspect() const;
    bool Finished() const { return finished_; }
    const std::vector<PlacedText>& Placed() const;
    // What the layout put on page (1-based); for checks of the layout.
    LaidOutPage PageAt(int page) const;
    const PageGeometry& Geometry() const { return geometry_; }

  private:
    Paginator& Layout();
    void Log(const LoggedItem& item);
    // Records where a section or an object block begins, for the outline.
    void AddBlock(Block block, LoggedItem::Kind kind);
    // Reads the diagram pages the log holds.
    Paginator::DrawingReader DrawingReader() const;
    int PageOfPosition(std::int32_t item, std::int32_t row) const;

    QPageSize paper_;
    PageGeometry geometry_;
    mutable TextShaper shaper_;
    std::unique_ptr<ItemLog> log_;
    std::vector<Block> blocks_;
    std::unique_ptr<Paginator> paginator_;
    PageSink layoutSink_;
    std::function<void(const QtReportDocument&)> printHandler_;
    std::function<void(int, bool)> pagesListener_;
    int reportedPages_ = 0;
    mutable std::vector<std::pair<int, std::shared_ptr<const LaidOutPage>>> recent_;
    PageDecoration decoration_;
    QString databaseName_;
    QDateTime started_;
    int textPoints_ = 8;
    bool heading_ = false;
    bool objectHeading_ = false;
    std::int32_t tableStyle_ = 0;
    bool finished_ = false;
    bool keepPlaced_ = false;
    int previewPage_ = 1;
};

}  // namespace ostrel::qtdocument
