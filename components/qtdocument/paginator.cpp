#include "components/qtdocument/paginator.h"

#include <algorithm>
#include <cmath>

namespace ostrel::qtdocument {
namespace {

// Spacing in twips (20 twips = 1 point).
constexpr double kCellPadX = 70;
constexpr double kCellPadY = 28;
constexpr double kRule = 10;        // thin rule between rows
constexpr double kStrongRule = 18;  // rule above a table, under a section heading
constexpr double kBandPadY = 40;    // light band behind an object heading
constexpr double kBandPadX = 70;
constexpr double kHeadingRuleGap = 30;
// A heading is not left alone at the foot of a page: it needs room for this
// many lines of its own size below it.
constexpr double kKeepWithNextLines = 3;

bool NamesTable(const std::string& label) {
    return label == "Table" || label == "ForeignTable";
}

}  // namespace

Paginator::Paginator(TextShaper& shaper, const PageGeometry& geometry, PageDecoration decoration,
                     std::vector<Block>& blocks)
    : shaper_(shaper), geometry_(geometry), decoration_(std::move(decoration)), blocks_(blocks) {}

Paginator::Paginator(TextShaper& shaper, const PageGeometry& geometry, PageDecoration decoration,
                     std::vector<Block>& blocks, const PageStart& start, int from, int to,
                     PageSink sink)
    : shaper_(shaper),
      geometry_(geometry),
      decoration_(std::move(decoration)),
      blocks_(blocks),
      sink_(std::move(sink)),
      replay_(true),
      lastPage_(to),
      pageNumber_(from - 1),
      item_(start.item),
      offset_(start.offset),
      startRow_(start.row),
      startLine_(start.line),
      block_(start.block),
      lastBlock_(start.lastBlock),
      blockPending_(start.blockPending) {
    atStart_ = true;
    OpenPage();
}

int Paginator::FinishedPages() const {
    const int started = static_cast<int>(starts_.size());
    return stopped_ ? started : std::max(started - 1, 0);
}

void Paginator::AddText(ShapedLine&& line, const QPointF& origin, int face, bool searchable) {
    if (sink_) {
        current_.texts.push_back({std::move(line), origin, face, searchable});
    }
}

void Paginator::AddShape(const QRectF& rect, LaidOutPage::Fill fill) {
    if (sink_) {
        current_.shapes.push_back({rect, fill});
    }
}

void Paginator::ClosePage() {
    if (pageNumber_ > 0 && sink_) {
        sink_(pageNumber_, current_);
    }
    current_ = LaidOutPage{};
}

void Paginator::OpenPage() {
    ++pageNumber_;
    y_ = geometry_.body.top();
    if (sink_) {
        AddCaption();
        if (decoration_.border) {
            const QRectF b = geometry_.body.adjusted(-kCellPadX, -kCellPadX, kCellPadX, kCellPadX);
            AddShape(QRectF(b.left(), b.top(), b.width(), kRule), LaidOutPage::Fill::Border);
            AddShape(QRectF(b.left(), b.bottom() - kRule, b.width(), kRule),
                     LaidOutPage::Fill::Border);
            AddShape(QRectF(b.left(), b.top(), kRule, b.height()), LaidOutPage::Fill::Border);
            AddShape(QRectF(b.right() - kRule, b.top(), kRule, b.height()),
                     LaidOutPage::Fill::Border);
        }
    }
    AddContinuedHeading();
}

void Paginator::NewPage(std::int32_t row, std::int32_t line) {
    if (replay_ && pageNumber_ >= lastPage_) {
        ClosePage();
        stopped_ = true;
        return;
    }
    ClosePage();
    if (!replay_) {
        starts_.push_back({offset_, item_, row, line, block_, lastBlock_, blockPending_});
    }
    OpenPage();
}

void Paginator::EnsurePage() {
    if (pageNumber_ == 0) {
        NewPage(0, 0);
    }
}

void Paginator::AddCaption() {
    const int face = shaper_.Face(decoration_.captionPoints, false);
    const QString number = QString::number(pageNumber_);
    const QRectF& body = geometry_.body;
    auto place = [&](QString part, int align) {
        part.replace(QStringLiteral("%d"), number);
        if (part.isEmpty()) {
            return;
        }
        // The caption is one line; a caption wider than the page is its
        // author's choice and is drawn as given.
        std::vector<ShapedLine> lines = shaper_.BreakLines(part, face, 1e9);
        if (lines.empty()) {
            return;
        }
        ShapedLine& line = lines.front();
        double x = body.left();
        if (align == 0) {
            x = body.left() + (body.width() - line.width) / 2;
        } else if (align > 0) {
            x = body.right() - line.width;
        }
        AddText(std::move(line), QPointF(x, geometry_.captionBaseline), face, false);
    };
    place(decoration_.left, -1);
    place(decoration_.centre, 0);
    place(decoration_.right, 1);
}

// A page that starts inside an object's block says whose rows it continues.
void Paginator::AddContinuedHeading() {
    if (block_ < 0 || blockPending_ || static_cast<std::size_t>(block_) >= blocks_.size()) {
        return;
    }
    const Block& block = blocks_[static_cast<std::size_t>(block_)];
    const int face = shaper_.Face(block.headingPoints, true);
    const QRectF& body = geometry_.body;
    std::vector<ShapedLine> lines =
        shaper_.BreakLines(QString::fromStdString(block.heading) + QStringLiteral(" (continued)"),
                           face, body.width() - 2 * kBandPadX);
    double height = 2 * kBandPadY;
    for (const ShapedLine& line : lines) {
        height += line.height;
    }
    AddShape(QRectF(body.left(), y_, body.width(), height), LaidOutPage::Fill::Band);
    double y = y_ + kBandPadY;
    for (ShapedLine& line : lines) {
        const double lineHeight = line.height;
        const QPointF origin(body.left() + kBandPadX, y + line.ascent);
        AddText(std::move(line), origin, face, false);
        y += lineHeight;
    }
    // The empty line that follows a heading.
    y_ += height + shaper_.FaceAt(shaper_.Face(block.headingPoints, false)).lineHeight;
}

void Paginator::Place(const LoggedItem& item, std::int32_t index, std::int64_t offset) {
    if (stopped_) {
        return;
    }
    item_ = index;
    offset_ = offset;
    switch (item.kind) {
        case LoggedItem::Kind::Paragraph:
            AddParagraph(item.text, item.points, static_cast<Emphasis>(item.emphasis));
            break;
        case LoggedItem::Kind::Table:
            AddTable(DecodeTable(item.text), item.points, item.value);
            break;
        case LoggedItem::Kind::Section:
        case LoggedItem::Kind::Object:
            BeginBlock(item.value);
            break;
        case LoggedItem::Kind::Drawing:
            AddDrawingPage(item);
            break;
        case LoggedItem::Kind::Code:
            AddCode(DecodeTable(item.text), item.points);
            break;
    }
    startRow_ = 0;
    startLine_ = 0;
    atStart_ = false;
}

void Paginator::AddDrawingPage(const LoggedItem& item) {
    // A drawing has its page to itself: no heading is repeated on it, and
    // nothing continues after it. A block begun just before it (the
    // diagram's own entry in the contents) lands at the top of its page.
    const bool placeBlock = blockPending_ && lastBlock_ >= 0;
    block_ = -1;
    blockPending_ = false;
    if (!atStart_) {  // a replay starting here has opened the page already
        NewPage(0, 0);
        if (stopped_) {
            return;
        }
    }
    if (placeBlock && !replay_) {
        for (auto b = static_cast<std::size_t>(firstUnplacedBlock_);
             b <= static_cast<std::size_t>(lastBlock_); ++b) {
            blocks_[b].page = pageNumber_;
            blocks_[b].top = geometry_.body.top();
        }
        firstUnplacedBlock_ = lastBlock_ + 1;
    }
    // Read only when something looks at it: counting pages does not.
    if ((sink_ || keepPlaced_) && readDrawing_) {
        std::shared_ptr<const PageDrawing> drawing = readDrawing_(item.value, item.text);
        if (drawing && keepPlaced_) {
            placed_.push_back({PlacedText::Kind::Paragraph, drawing->Title(), pageNumber_});
        }
        if (drawing && sink_) {
            current_.drawings.push_back(std::move(drawing));
        }
    }
    y_ = Bottom();
}

void Paginator::BeginBlock(std::int32_t block) {
    if (block < 0 || static_cast<std::size_t>(block) >= blocks_.size()) {
        return;
    }
    if (blocks_[static_cast<std::size_t>(block)].section) {
        block_ = -1;
    }
    lastBlock_ = block;
    blockPending_ = true;
}

void Paginator::HeadingPlaced(const std::string& text, int points, Emphasis emphasis, int page,
                              double top) {
    if (!blockPending_ || lastBlock_ < 0) {
        return;
    }
    blockPending_ = false;
    if (!replay_) {
        for (auto b = static_cast<std::size_t>(firstUnplacedBlock_);
             b <= static_cast<std::size_t>(lastBlock_); ++b) {
            blocks_[b].page = page;
            blocks_[b].top = top;
        }
        firstUnplacedBlock_ = lastBlock_ + 1;
    }
    Block& block = blocks_[static_cast<std::size_t>(lastBlock_)];
    if (!block.section && emphasis == Emphasis::ObjectHeading) {
        block_ = lastBlock_;
        if (!replay_) {
            block.heading = text;
            block.headingPoints = points;
        }
    }
}

void Paginator::AddParagraph(const std::string& text, int points, Emphasis emphasis) {
    EnsurePage();
    const bool band = emphasis == Emphasis::ObjectHeading;
    const bool heading = emphasis == Emphasis::Heading;
    const int face = shaper_.Face(points, emphasis != Emphasis::None);
    const QRectF& body = geometry_.body;
    const double indent = band ? kBandPadX : 0;
    std::vector<ShapedLine> lines =
        shaper_.BreakLines(QString::fromStdString(text), face, body.width() - 2 * indent);

    if (emphasis != Emphasis::None && !AtPageTop() && startLine_ == 0) {
        const double need = kKeepWithNextLines * shaper_.FaceAt(face).lineHeight;
        if (y_ + need > Bottom()) {
            NewPage(0, 0);
            if (stopped_) {
                return;
            }
        }
    }

    // An empty line that no longer fits is the foot of the page: it does not
    // open a page of its own, and whatever comes next starts a new one.
    if (!band && !heading && lines.size() == 1 && lines.front().text.isEmpty() &&
        y_ + lines.front().height > Bottom() && !AtPageTop()) {
        y_ = Bottom();
        if (keepPlaced_) {
            placed_.push_back({PlacedText::Kind::Paragraph, text, pageNumber_});
        }
        return;
    }

    int firstPage = 0;
    double firstTop = 0;
    for (auto i = static_cast<std::size_t>(startLine_); i < lines.size(); ++i) {
        ShapedLine& line = lines[i];
        const double padTop = band && i == 0 ? kBandPadY : 0;
        const double padBottom = band && i + 1 == lines.size() ? kBandPadY : 0;
        const double height = padTop + line.height + padBottom;
        if (y_ + height > Bottom() && !AtPageTop()) {
            NewPage(0, static_cast<std::int32_t>(i));
            if (stopped_) {
                return;
            }
        }
        if (band) {
            AddShape(QRectF(body.left(), y_, body.width(), height), LaidOutPage::Fill::Band);
        }
        if (firstPage == 0) {
            firstPage = pageNumber_;
            firstTop = y_;
        }
        const QPointF origin(body.left() + indent, y_ + padTop + line.ascent);
        if (!line.text.isEmpty()) {
            AddText(std::move(line), origin, face);
        }
        y_ += height;
    }
    if (heading) {
        y_ += kHeadingRuleGap;
        AddShape(QRectF(body.left(), y_, body.width(), kStrongRule), LaidOutPage::Fill::StrongRule);
        y_ += kStrongRule + kHeadingRuleGap;
    }
    if (firstPage == 0) {
        firstPage = pageNumber_;
        firstTop = y_;
    }
    HeadingPlaced(text, points, emphasis, firstPage, firstTop);
    if (keepPlaced_) {
        placed_.push_back({PlacedText::Kind::Paragraph, text, firstPage});
    }
}

void Paginator::AddRowRules(const std::vector<double>& columnX, double top, double height,
                            std::int32_t style, bool tableTopOnPage) {
    const double left = columnX.front();
    const double width = columnX.back() - left;
    if (style == 7) {
        AddShape(QRectF(left, top, width, kRule), LaidOutPage::Fill::Grid);
        AddShape(QRectF(left, top + height - kRule, width, kRule), LaidOutPage::Fill::Grid);
        for (const double x : columnX) {
            const double at = std::clamp(x - kRule / 2, left, columnX.back() - kRule);
            AddShape(QRectF(at, top, kRule, height), LaidOutPage::Fill::Grid);
        }
        return;
    }
    if (tableTopOnPage) {
        AddShape(QRectF(left, top, width, kStrongRule), LaidOutPage::Fill::StrongRule);
    }
    AddShape(QRectF(left, top + height - kRule, width, kRule), LaidOutPage::Fill::Rule);
}

double Paginator::ShapedRow::Height() const {
    return static_cast<double>(lineCount) * pitch + 2 * kCellPadY;
}

Paginator::ShapedRow Paginator::ShapeRow(const std::vector<std::string>& row,
                                         const std::vector<double>& columnX, int face) {
    ShapedRow shaped;
    shaped.pitch = shaper_.FaceAt(face).lineHeight;
    shaped.ascent = shaper_.FaceAt(face).ascent;
    shaped.cells.resize(columnX.size() - 1);
    for (std::size_t c = 0; c + 1 < columnX.size(); ++c) {
        const double inner = std::max(columnX[c + 1] - columnX[c] - 2 * kCellPadX, 1.0);
        // A break that ends the cell's text starts no further line.
        QString cellText = QString::fromStdString(row[c]);
        while (cellText.endsWith(u'\r') || cellText.endsWith(u'\n')) {
            cellText.chop(1);
        }
        shaped.cells[c] = shaper_.BreakLines(cellText, face, inner);
        shaped.lineCount = std::max(shaped.lineCount, shaped.cells[c].size());
        for (const ShapedLine& line : shaped.cells[c]) {
            shaped.pitch = std::max(shaped.pitch, line.height);
            shaped.ascent = std::max(shaped.ascent, line.ascent);
        }
    }
    return shaped;
}

std::vector<double> Paginator::ColumnEdges(const std::vector<int>& columnTwips) const {
    const QRectF& body = geometry_.body;
    double total = 0;
    for (const int w : columnTwips) {
        total += w;
    }
    const double scale = total > body.width() ? body.width() / total : 1.0;
    std::vector<double> columnX{body.left()};
    for (const int w : columnTwips) {
        columnX.push_back(columnX.back() + w * scale);
    }
    return columnX;
}

void Paginator::AddTable(const document::TableData& table, int points, std::int32_t style) {
    EnsurePage();
    TableInProgress progress;
    progress.columnX = ColumnEdges(table.columnTwips);
    progress.face = shaper_.Face(points, false);
    progress.style = style;
    // Values that name a table, in a relationship's block, are kept as
    // references for links.
    progress.references = sink_ && table.columnTwips.size() == 3 && block_ >= 0 && !blockPending_ &&
                          blocks_[static_cast<std::size_t>(block_)].kind == "Relationship";

    const auto firstRow = static_cast<std::size_t>(std::max(startRow_, 0));
    for (std::size_t r = firstRow; r < table.rows.size(); ++r) {
        const auto& row = table.rows[r];
        ShapedRow shaped = ShapeRow(row, progress.columnX, progress.face);
        std::size_t done = 0;
        if (r == firstRow && startLine_ > 0) {
            done = std::min(static_cast<std::size_t>(startLine_), shaped.lineCount);
        }
        if (done == 0 && !MakeRoomForRow(table, r, firstRow, shaped.Height(), progress)) {
            return;
        }
        const int rowPage = PlaceRow(shaped, row, r, done, progress);
        if (stopped_) {
            return;
        }
        if (blockPending_ && r == firstRow) {
            HeadingPlaced({}, points, Emphasis::None, rowPage, y_);
        }
        if (keepPlaced_) {
            for (std::size_t c = 0; c < table.columnTwips.size(); ++c) {
                placed_.push_back({PlacedText::Kind::Cell, row[c], rowPage});
            }
        }
    }
}

bool Paginator::MakeRoomForRow(const document::TableData& table, std::size_t r,
                               std::size_t firstRow, double rowHeight,
                               const TableInProgress& progress) {
    const QRectF& body = geometry_.body;
    const auto rowIndex = static_cast<std::int32_t>(r);
    // The last row of a table does not stand alone on a page: when it would
    // not fit after the one before it, both go over together.
    if (r > firstRow && r + 2 == table.rows.size() && !AtPageTop() && y_ + rowHeight <= Bottom()) {
        const double lastHeight =
            ShapeRow(table.rows.back(), progress.columnX, progress.face).Height();
        if (y_ + rowHeight + lastHeight > Bottom() &&
            rowHeight + lastHeight <= Bottom() - body.top()) {
            NewPage(rowIndex, 0);
            if (stopped_) {
                return false;
            }
        }
    }
    if (rowHeight <= body.height() && y_ + rowHeight > Bottom() && !AtPageTop()) {
        NewPage(rowIndex, 0);
        if (stopped_) {
            return false;
        }
    }
    return true;
}

int Paginator::PlaceRow(ShapedRow& shaped, const std::vector<std::string>& row, std::size_t r,
                        std::size_t done, TableInProgress& progress) {
    const auto rowIndex = static_cast<std::int32_t>(r);
    const double pitch = shaped.pitch;
    const std::size_t lineCount = shaped.lineCount;
    const bool linkRow = progress.references && NamesTable(row[1]) && !row[2].empty();
    int rowPage = 0;
    while (done < lineCount) {
        const double room = Bottom() - y_ - 2 * kCellPadY;
        auto fit = static_cast<std::size_t>(std::max(0.0, std::floor(room / pitch)));
        if (fit == 0) {
            if (AtPageTop()) {
                fit = 1;  // a line taller than a page is drawn clipped rather than lost
            } else {
                NewPage(rowIndex, static_cast<std::int32_t>(done));
                if (stopped_) {
                    return rowPage;
                }
                continue;
            }
        }
        const std::size_t take = std::min(fit, lineCount - done);
        if (rowPage == 0) {
            rowPage = pageNumber_;
        }
        if (sink_) {
            AddRowTexts(shaped, done, take, progress, linkRow ? &row[2] : nullptr);
        }
        const double chunk = static_cast<double>(take) * pitch + 2 * kCellPadY;
        const bool topRule = progress.topPage != pageNumber_;
        progress.topPage = pageNumber_;
        AddRowRules(progress.columnX, y_, chunk, progress.style, topRule);
        y_ += chunk;
        done += take;
        if (done < lineCount) {
            NewPage(rowIndex, static_cast<std::int32_t>(done));
            if (stopped_) {
                return rowPage;
            }
        }
    }
    return rowPage;
}

void Paginator::AddRowTexts(ShapedRow& shaped, std::size_t done, std::size_t take,
                            const TableInProgress& progress, const std::string* reference) {
    for (std::size_t c = 0; c < shaped.cells.size(); ++c) {
        std::vector<ShapedLine>& cell = shaped.cells[c];
        for (std::size_t k = done; k < std::min(done + take, cell.size()); ++k) {
            ShapedLine& line = cell[k];
            if (line.text.isEmpty()) {
                continue;
            }
            if (k == done) {
                // Its lines on this page are a text of their own.
                line.join = ShapedLine::Join::Start;
            }
            const QPointF origin(
                progress.columnX[c] + kCellPadX,
                y_ + kCellPadY + static_cast<double>(k - done) * shaped.pitch + shaped.ascent);
            if (reference != nullptr && c == 2) {
                current_.references.push_back(
                    {QRectF(origin.x(), origin.y() - shaped.ascent, line.width, shaped.pitch),
                     "Table", *reference});
            }
            AddText(std::move(line), origin, progress.face);
        }
    }
}

void Paginator::Finish() {
    if (replay_) {
        if (!stopped_) {
            ClosePage();
            stopped_ = true;
        }
        return;
    }
    EnsurePage();
    ClosePage();
    stopped_ = true;
}

}  // namespace ostrel::qtdocument
