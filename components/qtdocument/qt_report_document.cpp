#include "components/qtdocument/qt_report_document.h"

#include <QColor>
#include <QMarginsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>
#include <QStringList>
#include <algorithm>
#include <stdexcept>
#include <string>

#include "components/diagram/diagram_pages.h"
#include "components/diagram/scene_painter.h"
#include "components/qtdocument/table_text.h"

namespace ostrel::qtdocument {
namespace {

constexpr int kMinPoints = 1;
constexpr int kMaxPoints = 144;

int ClampPoints(int points) {
    return std::clamp(points, kMinPoints, kMaxPoints);
}

QColor FillColour(LaidOutPage::Fill fill) {
    switch (fill) {
        case LaidOutPage::Fill::Band:
            return {0xe6, 0xe9, 0xee};
        case LaidOutPage::Fill::Rule:
            return {0xc4, 0xc4, 0xc4};
        case LaidOutPage::Fill::StrongRule:
            return {0x30, 0x30, 0x30};
        case LaidOutPage::Fill::Grid:
            return {0x80, 0x80, 0x80};
        case LaidOutPage::Fill::Border:
            break;
    }
    return {0, 0, 0};
}

// One diagram page, drawn in points inside the body of the sheet.
class DiagramPageDrawing final : public PageDrawing {
  public:
    DiagramPageDrawing(diagram::DiagramPage page, const QPointF& bodyTopLeft)
        : page_(std::move(page)), origin_(bodyTopLeft) {}
    void Draw(QPainter& painter) const override {
        painter.save();
        painter.translate(origin_);
        painter.scale(kTwipsPerPoint, kTwipsPerPoint);
        diagram::PaintDiagramPage(painter, page_);
        painter.restore();
    }

  private:
    diagram::DiagramPage page_;
    QPointF origin_;
};

}  // namespace

QtReportDocument::QtReportDocument(const QLocale& locale)
    : paper_(PaperForLocale(locale)), geometry_(PageGeometry::ForPaper(paper_)) {
    decoration_.centre = QStringLiteral("Page %d");
}

QtReportDocument::~QtReportDocument() = default;

void QtReportDocument::SetPageBorder(std::int32_t style) {
    decoration_.border = style != 0;
}

void QtReportDocument::SetCaptionTextSize(std::int16_t points) {
    decoration_.captionPoints = ClampPoints(points);
}

void QtReportDocument::SetPreviewMode(bool on) {
    previewMode_ = on;
}

void QtReportDocument::SetPageCaption(const std::string& caption) {
    const QStringList parts = QString::fromStdString(caption).split(u'|');
    decoration_.left = parts.value(0);
    decoration_.centre = parts.value(1);
    // Anything after a third "|" still belongs on the right.
    decoration_.right = parts.mid(2).join(u'|');
}

void QtReportDocument::StartDocument() {
    paginator_ = std::make_unique<Paginator>(shaper_, geometry_, decoration_);
    textPoints_ = 8;
    heading_ = false;
    objectHeading_ = false;
    tableStyle_ = 0;
    finished_ = false;
    previewPage_ = 1;
}

Paginator& QtReportDocument::Layout() {
    if (!paginator_) {
        StartDocument();
    }
    return *paginator_;
}

void QtReportDocument::SetTextSize(std::int16_t points) {
    textPoints_ = ClampPoints(points);
}

void QtReportDocument::SetHeadingEmphasis(bool on) {
    heading_ = on;
}

void QtReportDocument::SetObjectHeadingEmphasis(bool on) {
    objectHeading_ = on;
}

void QtReportDocument::SetTableStyle(std::int32_t style) {
    tableStyle_ = style;
}

void QtReportDocument::AddParagraph(const std::string& text) {
    // A section heading inside an object heading is still a section heading.
    Emphasis emphasis = Emphasis::None;
    if (heading_) {
        emphasis = Emphasis::Heading;
    } else if (objectHeading_) {
        emphasis = Emphasis::ObjectHeading;
    }
    Layout().AddParagraph(text, textPoints_, emphasis);
}

void QtReportDocument::AddTable(const std::string& text) {
    Layout().AddTable(ParseTableText(text), textPoints_, tableStyle_);
}

void QtReportDocument::AddDiagram(const diagram::DiagramModel& model) {
    Paginator& layout = Layout();
    diagram::PagePlanOptions options;
    options.area = geometry_.body.size() / kTwipsPerPoint;
    options.firstPage = PageCount() + 1;
    std::vector<diagram::DiagramPage> pages = diagram::PlanDiagramPages(model, options);
    for (std::size_t i = 0; i < pages.size(); ++i) {
        layout.AddDrawingPage(
            std::make_shared<DiagramPageDrawing>(std::move(pages[i]), geometry_.body.topLeft()),
            i == 0 ? "Relationship diagram" : "Relationship diagram (continued)");
    }
}

void QtReportDocument::EndDocument() {
    Layout().Finish();
    finished_ = true;
    previewPage_ = std::clamp(previewPage_, 1, PageCount());
}

int QtReportDocument::PageCount() const {
    return paginator_ ? static_cast<int>(paginator_->Pages().size()) : 0;
}

void QtReportDocument::SetPreviewPage(int page) {
    previewPage_ = std::clamp(page, 1, std::max(PageCount(), 1));
}

const std::vector<PlacedText>& QtReportDocument::Placed() const {
    static const std::vector<PlacedText> kNone;
    return paginator_ ? paginator_->Placed() : kNone;
}

const LaidOutPage& QtReportDocument::PageAt(int page) const {
    if (page < 1 || page > PageCount()) {
        throw std::out_of_range("No page " + std::to_string(page) + " in the report.");
    }
    return paginator_->Pages()[static_cast<std::size_t>(page - 1)];
}

double QtReportDocument::PageAspect() const {
    return geometry_.paper.width() / geometry_.paper.height();
}

void QtReportDocument::DrawPage(QPainter& painter, const LaidOutPage& page) const {
    painter.fillRect(QRectF(QPointF(0, 0), geometry_.paper), Qt::white);
    for (const LaidOutPage::Shape& shape : page.shapes) {
        painter.fillRect(shape.rect, FillColour(shape.fill));
    }
    painter.setPen(Qt::black);
    for (const LaidOutPage::Text& text : page.texts) {
        shaper_.DrawLine(painter, text.origin, text.line, text.face);
    }
    for (const auto& drawing : page.drawings) {
        drawing->Draw(painter);
    }
}

void QtReportDocument::RenderPage(int page, QPainter& painter, const QRectF& target) const {
    if (page < 1 || page > PageCount()) {
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.translate(target.topLeft());
    painter.scale(target.width() / geometry_.paper.width(),
                  target.height() / geometry_.paper.height());
    painter.setClipRect(QRectF(QPointF(0, 0), geometry_.paper), Qt::IntersectClip);
    DrawPage(painter, paginator_->Pages()[static_cast<std::size_t>(page - 1)]);
    painter.restore();
}

void QtReportDocument::Print(QPrinter& printer) const {
    const int count = PageCount();
    if (count == 0) {
        throw std::runtime_error("The report has no pages to print.");
    }
    int from = printer.fromPage();
    int to = printer.toPage();
    if (printer.printRange() != QPrinter::PageRange || from <= 0) {
        from = 1;
        to = count;
    }
    from = std::clamp(from, 1, count);
    to = std::clamp(to <= 0 ? count : to, from, count);

    printer.setFullPage(true);
    QPainter painter;
    if (!painter.begin(&printer)) {
        const QString name = printer.outputFormat() == QPrinter::PdfFormat
                                 ? printer.outputFileName()
                                 : printer.printerName();
        throw std::runtime_error("The printer \"" + name.toStdString() +
                                 "\" could not be started.");
    }
    // Fit the sheet into the printer's paper, keeping its proportions.
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    const double scale = std::min(paper.width() / geometry_.paper.width(),
                                  paper.height() / geometry_.paper.height());
    const QRectF target(0, 0, geometry_.paper.width() * scale, geometry_.paper.height() * scale);
    for (int page = from; page <= to; ++page) {
        if (page > from && !printer.newPage()) {
            painter.end();
            throw std::runtime_error("The printer stopped before page " + std::to_string(page) +
                                     ".");
        }
        RenderPage(page, painter, target);
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error) {
        throw std::runtime_error("The printer reported an error.");
    }
}

void QtReportDocument::PrintDocument() {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        throw std::runtime_error("No printer is installed.");
    }
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setPageSize(paper_);
    Print(printer);
}

bool QtReportDocument::SavePdf(const std::string& path, std::string& error) const {
    const int count = PageCount();
    if (count == 0) {
        error = "The report has no pages.";
        return false;
    }
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly)) {
        error = "Cannot write \"" + path + "\": " + file.errorString().toStdString();
        return false;
    }
    {
        QPdfWriter writer(&file);
        writer.setCreator(QStringLiteral("Ostrel2"));
        writer.setTitle(QStringLiteral("Ostrel2 report"));
        writer.setResolution(static_cast<int>(kTwipsPerInch));
        writer.setPageLayout(QPageLayout(paper_, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        QPainter painter;
        if (!painter.begin(&writer)) {
            file.cancelWriting();
            error = "Cannot start the PDF writer for \"" + path + "\".";
            return false;
        }
        const QRectF target(QPointF(0, 0), geometry_.paper);
        for (int page = 1; page <= count; ++page) {
            if (page > 1) {
                writer.newPage();
            }
            RenderPage(page, painter, target);
        }
        painter.end();
    }
    if (!file.commit()) {
        error = "Cannot write \"" + path + "\": " + file.errorString().toStdString();
        return false;
    }
    return true;
}

}  // namespace ostrel::qtdocument
