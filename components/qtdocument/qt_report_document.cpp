#include "components/qtdocument/qt_report_document.h"

#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QMarginsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QStringList>
#include <QTemporaryFile>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <algorithm>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>

#include "components/diagram/diagram_pages.h"
#include "components/diagram/scene_painter.h"
#include "components/diagram/scene_stream.h"
#include "components/qtdocument/pdf_stream.h"
#include "ostrel_version.h"

namespace ostrel::qtdocument {
namespace {

constexpr int kMinPoints = 1;
constexpr int kMaxPoints = 144;
// Pages kept after being drawn: the one shown, its neighbours, a few more.
constexpr std::size_t kRecentPages = 8;

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
    DiagramPageDrawing(diagram::DiagramPage page, const QPointF& bodyTopLeft, bool continued)
        : page_(std::move(page)), origin_(bodyTopLeft), continued_(continued) {}
    void Draw(QPainter& painter) const override {
        painter.save();
        painter.translate(origin_);
        painter.scale(kTwipsPerPoint, kTwipsPerPoint);
        diagram::PaintDiagramPage(painter, page_);
        painter.restore();
    }
    std::string Title() const override {
        return continued_ ? "Relationship diagram (continued)" : "Relationship diagram";
    }

  private:
    diagram::DiagramPage page_;
    QPointF origin_;
    bool continued_;
};

// Drawing a page, for the screen or for a PDF, takes large buffers that are
// freed again at once. By default the allocator hands such memory back to
// the system whenever the top of the heap is free, and fetches it anew for
// the next page; over thousands of pages that costs more than the drawing
// (and, with the PDF's drawing thread, more again). The process keeps it.
void KeepPageBuffers() {
#ifdef __GLIBC__
    constexpr int kKeptBytes = 256 << 20;
    constexpr int kLargestFromHeap = 32 << 20;
    constexpr int kGrowBy = 16 << 20;
    mallopt(M_TRIM_THRESHOLD, kKeptBytes);
    mallopt(M_MMAP_THRESHOLD, kLargestFromHeap);
    mallopt(M_TOP_PAD, kGrowBy);
#endif
}

}  // namespace

std::string QtReportDocument::ProgramName() {
    return std::string("Ostrel2 ") + kVersionText;
}

QtReportDocument::QtReportDocument(const QLocale& locale)
    : paper_(PaperForLocale(locale)), geometry_(PageGeometry::ForPaper(paper_)) {
    decoration_.centre = QStringLiteral("Page %d");
    KeepPageBuffers();
}

QtReportDocument::~QtReportDocument() = default;

void QtReportDocument::SetPageBorder(std::int32_t style) {
    decoration_.border = style != 0;
}

void QtReportDocument::SetCaptionTextSize(std::int16_t points) {
    decoration_.captionPoints = ClampPoints(points);
}

void QtReportDocument::SetPageCaption(const std::string& caption) {
    const QStringList parts = QString::fromStdString(caption).split(u'|');
    decoration_.left = parts.value(0);
    decoration_.centre = parts.value(1);
    // Anything after a third "|" still belongs on the right.
    decoration_.right = parts.mid(2).join(u'|');
}

void QtReportDocument::SetDatabaseName(const std::string& path) {
    databaseName_ = QFileInfo(QString::fromStdString(path)).fileName();
}

void QtReportDocument::SetPagesListener(std::function<void(int, bool)> listener) {
    pagesListener_ = std::move(listener);
}

void QtReportDocument::StartDocument() {
    paginator_.reset();
    blocks_.clear();
    recent_.clear();
    log_ = std::make_unique<ItemLog>();
    paginator_ = std::make_unique<Paginator>(shaper_, geometry_, decoration_, blocks_);
    paginator_->KeepPlaced(keepPlaced_);
    paginator_->SetDrawingReader(DrawingReader());
    if (layoutSink_) {
        paginator_->SetPageSink(layoutSink_);
    }
    started_ = QDateTime::currentDateTime();
    reportedPages_ = 0;
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

void QtReportDocument::Log(const LoggedItem& item) {
    Paginator& layout = Layout();
    const int index = log_->Count();
    const std::int64_t offset = log_->Append(item);
    layout.Place(item, index, offset);
    const int finished = layout.FinishedPages();
    if (finished != reportedPages_) {
        reportedPages_ = finished;
        if (pagesListener_) {
            pagesListener_(finished, false);
        }
    }
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
    LoggedItem item;
    item.kind = LoggedItem::Kind::Paragraph;
    item.emphasis = static_cast<std::uint8_t>(emphasis);
    item.points = static_cast<std::int16_t>(textPoints_);
    item.text = text;
    Log(item);
}

void QtReportDocument::AddTable(const document::TableData& table) {
    LoggedItem item;
    item.kind = LoggedItem::Kind::Table;
    item.points = static_cast<std::int16_t>(textPoints_);
    item.value = tableStyle_;
    item.text = EncodeTable(table);
    Log(item);
}

void QtReportDocument::AddCode(const document::CodeBlock& code) {
    document::TableData lines{{code.firstLine}, {}};
    lines.rows.reserve(code.lines.size());
    for (const std::string& line : code.lines) {
        lines.rows.push_back({line});
    }
    LoggedItem item;
    item.kind = LoggedItem::Kind::Code;
    item.points = static_cast<std::int16_t>(textPoints_);
    item.text = EncodeTable(lines);
    Log(item);
}

void QtReportDocument::BeginSection(const std::string& title) {
    Block block;
    block.section = true;
    block.name = title;
    AddBlock(std::move(block), LoggedItem::Kind::Section);
}

void QtReportDocument::BeginObject(const std::string& kind, const std::string& name) {
    Block block;
    block.kind = kind;
    block.name = name;
    AddBlock(std::move(block), LoggedItem::Kind::Object);
}

void QtReportDocument::AddBlock(Block block, LoggedItem::Kind kind) {
    Layout();
    blocks_.push_back(std::move(block));
    LoggedItem item;
    item.kind = kind;
    item.value = static_cast<std::int32_t>(blocks_.size() - 1);
    Log(item);
}

void QtReportDocument::AddDiagram(const diagram::DiagramModel& model) {
    Paginator& layout = Layout();
    diagram::PagePlanOptions options;
    options.area = geometry_.body.size() / kTwipsPerPoint;
    // Every diagram page opens a page after those begun so far.
    options.firstPage = static_cast<int>(layout.Starts().size()) + 1;
    std::vector<diagram::DiagramPage> pages = diagram::PlanDiagramPages(model, options);
    if (!pages.empty()) {
        Block block;
        block.name = "Relationship diagram";
        AddBlock(std::move(block), LoggedItem::Kind::Object);
    }
    // The pages go to the log with the rest of the report and are read back
    // when drawn, so that they take no memory meanwhile.
    for (std::size_t i = 0; i < pages.size(); ++i) {
        LoggedItem item;
        item.kind = LoggedItem::Kind::Drawing;
        item.value = static_cast<std::int32_t>(i);
        item.text = diagram::SavePage(pages[i]).toStdString();
        pages[i] = diagram::DiagramPage();
        Log(item);
    }
#ifdef __GLIBC__
    // Laying the diagram out takes much memory for a moment; hand it back
    // rather than keep it for the rest of the run.
    malloc_trim(0);
#endif
}

Paginator::DrawingReader QtReportDocument::DrawingReader() const {
    return
        [origin = geometry_.body.topLeft()](
            std::int32_t number, const std::string& bytes) -> std::shared_ptr<const PageDrawing> {
            std::optional<diagram::DiagramPage> page = diagram::LoadPage(
                QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())));
            if (!page) {
                return nullptr;
            }
            return std::make_shared<DiagramPageDrawing>(std::move(*page), origin, number > 0);
        };
}

void QtReportDocument::EndDocument() {
    Paginator& layout = Layout();
    layout.Finish();
    finished_ = true;
    previewPage_ = std::clamp(previewPage_, 1, std::max(PageCount(), 1));
    reportedPages_ = PageCount();
    if (pagesListener_) {
        pagesListener_(reportedPages_, true);
    }
}

int QtReportDocument::PageCount() const {
    return paginator_ ? paginator_->FinishedPages() : 0;
}

void QtReportDocument::SetPreviewPage(int page) {
    previewPage_ = std::clamp(page, 1, std::max(PageCount(), 1));
}

const std::vector<PlacedText>& QtReportDocument::Placed() const {
    static const std::vector<PlacedText> kNone;
    return paginator_ ? paginator_->Placed() : kNone;
}

void QtReportDocument::LayOutPages(int from, int to, const PageSink& sink) const {
    const int count = PageCount();
    from = std::max(from, 1);
    to = std::min(to, count);
    if (from > to || !log_) {
        return;
    }
    const PageStart& start = paginator_->Starts()[static_cast<std::size_t>(from - 1)];
    // The replay reads the blocks but never changes them.
    auto& blocks = const_cast<std::vector<Block>&>(blocks_);
    Paginator replay(shaper_, geometry_, decoration_, blocks, start, from, to, sink);
    replay.SetDrawingReader(DrawingReader());
    LoggedItem item;
    std::int64_t offset = start.offset;
    std::int32_t index = start.item;
    while (!replay.Done()) {
        const std::int64_t next = log_->Read(offset, item);
        if (next < 0) {
            break;
        }
        replay.Place(item, index, offset);
        offset = next;
        ++index;
    }
    replay.Finish();
}

std::shared_ptr<const LaidOutPage> QtReportDocument::PageContent(int page) const {
    for (auto it = recent_.begin(); it != recent_.end(); ++it) {
        if (it->first == page) {
            auto found = it->second;
            // Most recently used last.
            std::rotate(it, it + 1, recent_.end());
            return found;
        }
    }
    auto content = std::make_shared<LaidOutPage>();
    LayOutPages(page, page, [&](int /*number*/, LaidOutPage& laid) { *content = std::move(laid); });
    if (recent_.size() >= kRecentPages) {
        recent_.erase(recent_.begin());
    }
    recent_.emplace_back(page, content);
    return content;
}

LaidOutPage QtReportDocument::PageAt(int page) const {
    if (page < 1 || page > PageCount()) {
        throw std::out_of_range("No page " + std::to_string(page) + " in the report.");
    }
    return *PageContent(page);
}

double QtReportDocument::PageAspect() const {
    return geometry_.paper.width() / geometry_.paper.height();
}

int QtReportDocument::PageOfPosition(std::int32_t item, std::int32_t row) const {
    if (!paginator_) {
        return 0;
    }
    const std::vector<PageStart>& starts = paginator_->Starts();
    // The last page that starts at or before the row's first line.
    const auto after =
        std::upper_bound(starts.begin(), starts.end(), std::make_pair(item, row),
                         [](const std::pair<std::int32_t, std::int32_t>& at, const PageStart& s) {
                             if (at.first != s.item) {
                                 return at.first < s.item;
                             }
                             if (at.second != s.row) {
                                 return at.second < s.row;
                             }
                             return s.line > 0;  // the row continues there
                         });
    const auto page = static_cast<int>(after - starts.begin());
    return std::clamp(page, 1, std::max(PageCount(), 1));
}

std::vector<FindHit> QtReportDocument::Find(const QString& text) const {
    std::vector<FindHit> hits;
    if (text.isEmpty() || !log_) {
        return hits;
    }
    auto count = [&](const std::string& source) {
        const QString haystack = QString::fromStdString(source);
        int found = 0;
        for (qsizetype at = haystack.indexOf(text, 0, Qt::CaseInsensitive); at >= 0;
             at = haystack.indexOf(text, at + text.size(), Qt::CaseInsensitive)) {
            ++found;
        }
        return found;
    };
    LoggedItem item;
    std::int64_t offset = 0;
    for (std::int32_t index = 0;; ++index) {
        const std::int64_t next = log_->Read(offset, item);
        if (next < 0) {
            break;
        }
        if (item.kind == LoggedItem::Kind::Paragraph) {
            for (int n = count(item.text); n > 0; --n) {
                hits.push_back({PageOfPosition(index, 0), index, 0});
            }
        } else if (item.kind == LoggedItem::Kind::Table || item.kind == LoggedItem::Kind::Code) {
            const document::TableData table = DecodeTable(item.text);
            for (std::size_t r = 0; r < table.rows.size(); ++r) {
                for (const std::string& cell : table.rows[r]) {
                    const auto row = static_cast<std::int32_t>(r);
                    for (int n = count(cell); n > 0; --n) {
                        hits.push_back({PageOfPosition(index, row), index, row});
                    }
                }
            }
        }
        offset = next;
    }
    return hits;
}

std::vector<std::vector<QRectF>> QtReportDocument::MatchRects(int page, const QString& text) const {
    std::vector<std::vector<QRectF>> rects;
    if (text.isEmpty() || page < 1 || page > PageCount()) {
        return rects;
    }
    const std::shared_ptr<const LaidOutPage> content = PageContent(page);
    const std::vector<LaidOutPage::Text>& texts = content->texts;
    // The lines a cell or paragraph was wrapped into are searched as the one
    // text they came from, so that a match may run on from line to line.
    std::size_t first = 0;
    while (first < texts.size()) {
        if (!texts[first].searchable) {
            ++first;
            continue;
        }
        std::size_t end = first + 1;
        while (end < texts.size() && texts[end].searchable &&
               texts[end].line.join != ShapedLine::Join::Start &&
               texts[end].face == texts[first].face) {
            ++end;
        }
        QString joined;
        std::vector<qsizetype> starts;  // where each line begins in joined
        for (std::size_t i = first; i < end; ++i) {
            if (i > first && texts[i].line.join == ShapedLine::Join::Blank) {
                joined.append(u' ');
            }
            starts.push_back(joined.size());
            joined.append(texts[i].line.text);
        }
        const QFontMetricsF metrics(shaper_.FaceAt(texts[first].face).font);
        for (qsizetype at = joined.indexOf(text, 0, Qt::CaseInsensitive); at >= 0;
             at = joined.indexOf(text, at + text.size(), Qt::CaseInsensitive)) {
            std::vector<QRectF>& pieces = rects.emplace_back();
            for (std::size_t i = first; i < end; ++i) {
                const LaidOutPage::Text& drawn = texts[i];
                const qsizetype from = std::max(at - starts[i - first], qsizetype{0});
                const qsizetype to =
                    std::min(at + text.size() - starts[i - first], drawn.line.text.size());
                if (from >= to) {
                    continue;
                }
                const double left = metrics.horizontalAdvance(drawn.line.text.left(from));
                const double width =
                    metrics.horizontalAdvance(drawn.line.text.mid(from, to - from));
                pieces.emplace_back(drawn.origin.x() + left, drawn.origin.y() - drawn.line.ascent,
                                    width, drawn.line.height);
            }
        }
        first = end;
    }
    return rects;
}

void QtReportDocument::DrawPage(QPainter& painter, const LaidOutPage& page) const {
    DrawPage(painter, page, shaper_);
}

void QtReportDocument::DrawPage(QPainter& painter, const LaidOutPage& page,
                                const TextShaper& shaper) const {
    painter.fillRect(QRectF(QPointF(0, 0), geometry_.paper), Qt::white);
    // Neighbouring shapes of one colour are filled together, in the order
    // laid out.
    painter.save();
    painter.setPen(Qt::NoPen);
    std::vector<QRectF> rects;
    for (std::size_t i = 0; i < page.shapes.size(); ++i) {
        const LaidOutPage::Shape& shape = page.shapes[i];
        rects.push_back(shape.rect);
        if (i + 1 == page.shapes.size() || page.shapes[i + 1].fill != shape.fill) {
            painter.setBrush(FillColour(shape.fill));
            painter.drawRects(rects.data(), static_cast<int>(rects.size()));
            rects.clear();
        }
    }
    painter.restore();
    painter.setPen(Qt::black);
    TextShaper::Batch text(shaper);
    for (const LaidOutPage::Text& line : page.texts) {
        text.Add(painter, line.origin, line.line, line.face);
    }
    text.Draw(painter);
    for (const auto& drawing : page.drawings) {
        drawing->Draw(painter);
    }
}

void QtReportDocument::RenderPage(int page, QPainter& painter, const QRectF& target) const {
    if (page < 1 || page > PageCount()) {
        return;
    }
    const std::shared_ptr<const LaidOutPage> content = PageContent(page);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.translate(target.topLeft());
    painter.scale(target.width() / geometry_.paper.width(),
                  target.height() / geometry_.paper.height());
    painter.setClipRect(QRectF(QPointF(0, 0), geometry_.paper), Qt::IntersectClip);
    DrawPage(painter, *content);
    painter.restore();
}

void QtReportDocument::PrintDocument() {
    if (!printHandler_) {
        throw std::runtime_error("This program cannot print.");
    }
    printHandler_(*this);
}

bool QtReportDocument::SavePdf(const std::string& path, std::string& error) const {
    const int count = PageCount();
    if (count == 0) {
        error = "The report has no pages.";
        return false;
    }
    PdfStream stream(*this, path);
    LayOutPages(1, count,
                [&](int page, LaidOutPage& content) { stream.AddPage(page, std::move(content)); });
    return stream.Finish(error);
}

}  // namespace ostrel::qtdocument
