#include <QFontMetricsF>
#include <algorithm>

#include "components/qtdocument/paginator.h"

namespace ostrel::qtdocument {
namespace {

constexpr int kTabWidth = 4;  // as the VBA editor sets tabs
constexpr int kLeastDigits = 3;
const QString kContinuedMark = QStringLiteral("\u21aa");

// The line with its tabs expanded to the editor's tab stops.
QString ExpandTabs(const QString& line) {
    if (!line.contains(u'\t')) {
        return line;
    }
    QString out;
    for (const QChar c : line) {
        if (c == u'\t') {
            out.append(QString(kTabWidth - out.size() % kTabWidth, u' '));
        } else {
            out.append(c);
        }
    }
    return out;
}

// The line cut into pieces of at most perLine characters, never between
// the two halves of a surrogate pair. An empty line is one empty piece.
std::vector<QString> Pieces(const QString& line, qsizetype perLine) {
    std::vector<QString> pieces;
    qsizetype at = 0;
    do {
        qsizetype take = std::min(perLine, line.size() - at);
        if (take > 1 && at + take < line.size() && line[at + take - 1].isHighSurrogate()) {
            --take;
        }
        pieces.push_back(line.mid(at, take));
        at += take;
    } while (at < line.size());
    return pieces;
}

int Digits(std::int64_t number) {
    int digits = 1;
    for (number = std::max<std::int64_t>(number, 0); number >= 10; number /= 10) {
        ++digits;
    }
    return digits;
}

}  // namespace

void Paginator::AddCode(const document::TableData& lines, int points) {
    EnsurePage();
    const int face = shaper_.Face(points, false, true);
    const FontFace& font = shaper_.FaceAt(face);
    const double pitch = font.lineHeight;
    const double charWidth = std::max(QFontMetricsF(font.font).horizontalAdvance(u'0'), 1.0);
    const std::int64_t first = lines.columnTwips.empty() ? 1 : lines.columnTwips.front();
    const auto count = static_cast<std::int64_t>(lines.rows.size());
    // Lines numbered from 0 or below are not numbered (a diff's lines).
    const bool numbered = first > 0;
    const int digits = numbered ? std::max(kLeastDigits, Digits(first + count - 1)) : 1;
    const QRectF& body = geometry_.body;
    const double codeLeft = body.left() + (digits + 1) * charWidth;
    const auto perLine =
        std::max<qsizetype>(1, static_cast<qsizetype>((body.right() - codeLeft) / charWidth));
    const auto gutterText = [&](const QString& text, double baseline) {
        if (!sink_) {
            return;
        }
        std::vector<ShapedLine> shaped = shaper_.BreakLines(text, face, body.width());
        if (!shaped.empty()) {
            const double x = body.left() + digits * charWidth - shaped.front().width;
            AddText(std::move(shaped.front()), QPointF(x, baseline), face, false);
        }
    };

    const auto firstRow = static_cast<std::size_t>(std::max(startRow_, 0));
    for (std::size_t r = firstRow; r < lines.rows.size(); ++r) {
        const std::string& text = lines.rows[r].empty() ? std::string() : lines.rows[r].front();
        const std::vector<QString> pieces =
            Pieces(ExpandTabs(QString::fromStdString(text)), perLine);
        std::size_t k =
            r == firstRow ? std::min<std::size_t>(std::max(startLine_, 0), pieces.size() - 1) : 0;
        int linePage = 0;
        for (; k < pieces.size(); ++k) {
            if (y_ + pitch > Bottom() && !AtPageTop()) {
                NewPage(static_cast<std::int32_t>(r), static_cast<std::int32_t>(k));
                if (stopped_) {
                    return;
                }
            }
            const double baseline = y_ + font.ascent;
            if (k > 0) {
                gutterText(kContinuedMark, baseline);
            } else if (numbered) {
                gutterText(QString::number(first + static_cast<std::int64_t>(r)), baseline);
            }
            if (sink_ && !pieces[k].isEmpty()) {
                std::vector<ShapedLine> shaped = shaper_.BreakLines(pieces[k], face, 1e9);
                if (!shaped.empty()) {
                    shaped.front().join =
                        k == 0 ? ShapedLine::Join::Start : ShapedLine::Join::Direct;
                    AddText(std::move(shaped.front()), QPointF(codeLeft, baseline), face);
                }
            }
            if (linePage == 0) {
                linePage = pageNumber_;
            }
            y_ += pitch;
        }
        if (blockPending_ && r == firstRow) {
            HeadingPlaced({}, points, Emphasis::None, linePage, y_);
        }
        if (keepPlaced_) {
            placed_.push_back({PlacedText::Kind::Paragraph, text, linePage});
        }
    }
}

}  // namespace ostrel::qtdocument
