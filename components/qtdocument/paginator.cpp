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

}  // namespace

Paginator::Paginator(TextShaper& shaper, const PageGeometry& geometry, PageDecoration decoration)
    : shaper_(shaper), geometry_(geometry), decoration_(std::move(decoration)) {}

void Paginator::NewPage() {
    pages_.emplace_back();
    y_ = geometry_.body.top();
    AddCaption();
    if (decoration_.border) {
        const QRectF b = geometry_.body.adjusted(-kCellPadX, -kCellPadX, kCellPadX, kCellPadX);
        auto& shapes = Current().shapes;
        shapes.push_back({QRectF(b.left(), b.top(), b.width(), kRule), LaidOutPage::Fill::Border});
        shapes.push_back(
            {QRectF(b.left(), b.bottom() - kRule, b.width(), kRule), LaidOutPage::Fill::Border});
        shapes.push_back({QRectF(b.left(), b.top(), kRule, b.height()), LaidOutPage::Fill::Border});
        shapes.push_back(
            {QRectF(b.right() - kRule, b.top(), kRule, b.height()), LaidOutPage::Fill::Border});
    }
}

void Paginator::EnsurePage() {
    if (pages_.empty()) {
        NewPage();
    }
}

void Paginator::AddCaption() {
    const int face = shaper_.Face(decoration_.captionPoints, false);
    const QString number = QString::number(PageNumber());
    const QRectF& body = geometry_.body;
    auto place = [&](QString part, int align) {
        part.replace(QStringLiteral("%d"), number);
        if (part.isEmpty()) {
            return;
        }
        // The caption is one line; a caption wider than the page is its
        // author's choice and is drawn as given.
        std::vector<ShapedLine> lines = shaper_.BreakLines(part, face, 1e9);
        for (ShapedLine& line : lines) {
            double x = body.left();
            if (align == 0) {
                x = body.left() + (body.width() - line.width) / 2;
            } else if (align > 0) {
                x = body.right() - line.width;
            }
            Current().texts.push_back(
                {std::move(line), QPointF(x, geometry_.captionBaseline), face});
            break;
        }
    };
    place(decoration_.left, -1);
    place(decoration_.centre, 0);
    place(decoration_.right, 1);
}

void Paginator::AddDrawingPage(std::shared_ptr<const PageDrawing> drawing,
                               const std::string& title) {
    NewPage();
    Current().drawings.push_back(std::move(drawing));
    placed_.push_back({PlacedText::Kind::Paragraph, title, PageNumber()});
    y_ = Bottom();
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

    if (emphasis != Emphasis::None && !AtPageTop()) {
        const double need = kKeepWithNextLines * shaper_.FaceAt(face).lineHeight;
        if (y_ + need > Bottom()) {
            NewPage();
        }
    }

    // An empty line that no longer fits is the foot of the page: it does not
    // open a page of its own, and whatever comes next starts a new one.
    if (!band && !heading && lines.size() == 1 && lines.front().text.isEmpty() &&
        y_ + lines.front().height > Bottom() && !AtPageTop()) {
        y_ = Bottom();
        placed_.push_back({PlacedText::Kind::Paragraph, text, PageNumber()});
        return;
    }

    int firstPage = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        ShapedLine& line = lines[i];
        const double padTop = band && i == 0 ? kBandPadY : 0;
        const double padBottom = band && i + 1 == lines.size() ? kBandPadY : 0;
        const double height = padTop + line.height + padBottom;
        if (y_ + height > Bottom() && !AtPageTop()) {
            NewPage();
        }
        if (band) {
            Current().shapes.push_back(
                {QRectF(body.left(), y_, body.width(), height), LaidOutPage::Fill::Band});
        }
        if (firstPage == 0) {
            firstPage = PageNumber();
        }
        const QPointF origin(body.left() + indent, y_ + padTop + line.ascent);
        if (!line.text.isEmpty()) {
            Current().texts.push_back({std::move(line), origin, face});
        }
        y_ += height;
    }
    if (heading) {
        y_ += kHeadingRuleGap;
        Current().shapes.push_back(
            {QRectF(body.left(), y_, body.width(), kStrongRule), LaidOutPage::Fill::StrongRule});
        y_ += kStrongRule + kHeadingRuleGap;
    }
    placed_.push_back({PlacedText::Kind::Paragraph, text, firstPage});
}

void Paginator::AddRowRules(const std::vector<double>& columnX, double top, double height,
                            std::int32_t style, bool tableTopOnPage) {
    auto& shapes = Current().shapes;
    const double left = columnX.front();
    const double width = columnX.back() - left;
    if (style == 7) {
        shapes.push_back({QRectF(left, top, width, kRule), LaidOutPage::Fill::Grid});
        shapes.push_back(
            {QRectF(left, top + height - kRule, width, kRule), LaidOutPage::Fill::Grid});
        for (const double x : columnX) {
            const double at = std::clamp(x - kRule / 2, left, columnX.back() - kRule);
            shapes.push_back({QRectF(at, top, kRule, height), LaidOutPage::Fill::Grid});
        }
        return;
    }
    if (tableTopOnPage) {
        shapes.push_back({QRectF(left, top, width, kStrongRule), LaidOutPage::Fill::StrongRule});
    }
    shapes.push_back({QRectF(left, top + height - kRule, width, kRule), LaidOutPage::Fill::Rule});
}

void Paginator::AddTable(const TableText& table, int points, std::int32_t style) {
    EnsurePage();
    const QRectF& body = geometry_.body;
    double total = 0;
    for (const int w : table.columnTwips) {
        total += w;
    }
    const double scale = total > body.width() ? body.width() / total : 1.0;
    std::vector<double> columnX{body.left()};
    for (const int w : table.columnTwips) {
        columnX.push_back(columnX.back() + w * scale);
    }
    const int face = shaper_.Face(points, false);
    const std::size_t columns = table.columnTwips.size();
    int tableTopPage = 0;  // last page on which this table drew its top rule

    std::vector<std::vector<ShapedLine>> cells(columns);
    for (const auto& row : table.rows) {
        double pitch = shaper_.FaceAt(face).lineHeight;
        double ascent = shaper_.FaceAt(face).ascent;
        std::size_t lineCount = 1;
        for (std::size_t c = 0; c < columns; ++c) {
            const double inner = std::max(columnX[c + 1] - columnX[c] - 2 * kCellPadX, 1.0);
            // A break that ends the cell's text starts no further line.
            QString cellText = QString::fromStdString(row[c]);
            while (cellText.endsWith(u'\r') || cellText.endsWith(u'\n')) {
                cellText.chop(1);
            }
            cells[c] = shaper_.BreakLines(cellText, face, inner);
            lineCount = std::max(lineCount, cells[c].size());
            for (const ShapedLine& line : cells[c]) {
                pitch = std::max(pitch, line.height);
                ascent = std::max(ascent, line.ascent);
            }
        }
        const double rowHeight = static_cast<double>(lineCount) * pitch + 2 * kCellPadY;
        if (rowHeight <= body.height() && y_ + rowHeight > Bottom() && !AtPageTop()) {
            NewPage();
        }
        int rowPage = 0;
        std::size_t done = 0;
        while (done < lineCount) {
            const double room = Bottom() - y_ - 2 * kCellPadY;
            auto fit = static_cast<std::size_t>(std::max(0.0, std::floor(room / pitch)));
            if (fit == 0) {
                if (AtPageTop()) {
                    fit = 1;  // a line taller than a page is drawn clipped rather than lost
                } else {
                    NewPage();
                    continue;
                }
            }
            const std::size_t take = std::min(fit, lineCount - done);
            if (rowPage == 0) {
                rowPage = PageNumber();
            }
            for (std::size_t c = 0; c < columns; ++c) {
                for (std::size_t k = done; k < std::min(done + take, cells[c].size()); ++k) {
                    ShapedLine& line = cells[c][k];
                    if (line.text.isEmpty()) {
                        continue;
                    }
                    const QPointF origin(
                        columnX[c] + kCellPadX,
                        y_ + kCellPadY + static_cast<double>(k - done) * pitch + ascent);
                    Current().texts.push_back({std::move(line), origin, face});
                }
            }
            const double chunk = static_cast<double>(take) * pitch + 2 * kCellPadY;
            const bool topRule = tableTopPage != PageNumber();
            tableTopPage = PageNumber();
            AddRowRules(columnX, y_, chunk, style, topRule);
            y_ += chunk;
            done += take;
            if (done < lineCount) {
                NewPage();
            }
        }
        for (std::size_t c = 0; c < columns; ++c) {
            placed_.push_back({PlacedText::Kind::Cell, row[c], rowPage});
        }
    }
}

void Paginator::Finish() {
    EnsurePage();
}

}  // namespace ostrel::qtdocument
