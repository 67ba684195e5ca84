#include "components/qtdocument/text_shaper.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QTextLayout>
#include <QTextOption>
#include <algorithm>

#include "components/qtdocument/page_setup.h"

namespace ostrel::qtdocument {
namespace {

constexpr char16_t kLineSeparator = 0x2028;

// Characters whose glyphs can be placed one after another without shaping.
bool NeedsNoShaping(char16_t u) {
    if (u < 0x20 || (u >= 0x7f && u < 0xa0)) {
        return false;  // control characters
    }
    if (u >= 0x0300 && u <= 0x036f) {
        return false;  // combining diacritical marks
    }
    if (u >= 0x0483 && u <= 0x0489) {
        return false;  // combining Cyrillic marks
    }
    return u < 0x0590;  // Latin, Greek, Cyrillic, Armenian; Hebrew onwards is shaped
}

QString TrimTrailingBlanks(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && (text[end - 1] == u' ' || text[end - 1] == QChar(kLineSeparator))) {
        --end;
    }
    return end == text.size() ? text : text.left(end);
}

}  // namespace

TextShaper::TextShaper() = default;

int TextShaper::Face(int points, bool bold, bool mono) {
    for (std::size_t i = 0; i < keys_.size(); ++i) {
        if (keys_[i].points == points && keys_[i].bold == bold && keys_[i].mono == mono) {
            return static_cast<int>(i);
        }
    }
    FontFace face;
    if (mono) {
        face.font.setFamilies({QStringLiteral("DejaVu Sans Mono"),
                               QStringLiteral("Liberation Mono"), QStringLiteral("Courier New"),
                               QStringLiteral("Courier")});
        face.font.setStyleHint(QFont::Monospace);
        face.font.setFixedPitch(true);
    } else {
        face.font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                               QStringLiteral("Arial"), QStringLiteral("Helvetica")});
        face.font.setStyleHint(QFont::SansSerif);
    }
    face.font.setPixelSize(static_cast<int>(points * kTwipsPerPoint));
    face.font.setBold(bold);
    face.font.setKerning(false);
    face.raw = QRawFont::fromFont(face.font);
    const QFontMetricsF metrics(face.font);
    face.ascent = metrics.ascent();
    face.lineHeight = metrics.lineSpacing();
    keys_.push_back({points, bold, mono});
    faces_.push_back(std::move(face));
    return static_cast<int>(faces_.size() - 1);
}

void TextShaper::Match(const std::vector<FaceKey>& keys) {
    for (std::size_t i = keys_.size(); i < keys.size(); ++i) {
        Face(keys[i].points, keys[i].bold, keys[i].mono);
    }
}

QString TextShaper::NormaliseBreaks(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\r') {
            out.append(QChar(kLineSeparator));
            if (i + 1 < text.size() && text[i + 1] == u'\n') {
                ++i;
            }
        } else if (c == u'\n' || c == 0x2029) {
            out.append(QChar(kLineSeparator));
        } else if (c == u'\t') {
            out.append(u' ');
        } else {
            out.append(text[i]);
        }
    }
    return out;
}

bool TextShaper::IsPlain(const QString& text, const FontFace& face, std::vector<quint32>& glyphs,
                         std::vector<double>& advances) const {
    if (!face.raw.isValid()) {
        return false;
    }
    for (const QChar c : text) {
        if (!NeedsNoShaping(c.unicode())) {
            return false;
        }
    }
    const QList<quint32> indexes = face.raw.glyphIndexesForString(text);
    if (indexes.size() != text.size()) {
        return false;
    }
    for (const quint32 g : indexes) {
        if (g == 0) {
            return false;  // the primary typeface lacks this character
        }
    }
    const QList<QPointF> adv =
        face.raw.advancesForGlyphIndexes(indexes, QRawFont::UseDesignMetrics);
    glyphs.assign(indexes.begin(), indexes.end());
    advances.clear();
    advances.reserve(static_cast<std::size_t>(adv.size()));
    for (const QPointF& a : adv) {
        advances.push_back(a.x());
    }
    return true;
}

void TextShaper::BreakPlain(const QString& segment, const FontFace& face,
                            const std::vector<double>& advances, double width,
                            std::vector<ShapedLine>& out) const {
    const qsizetype n = segment.size();
    auto push = [&](qsizetype from, qsizetype to) {
        while (to > from && segment[to - 1] == u' ') {
            --to;
        }
        double w = 0;
        for (qsizetype k = from; k < to; ++k) {
            w += advances[static_cast<std::size_t>(k)];
        }
        ShapedLine::Join join = ShapedLine::Join::Start;
        if (from > 0) {
            join = segment[from - 1] == u' ' ? ShapedLine::Join::Blank : ShapedLine::Join::Direct;
        }
        out.push_back({segment.mid(from, to - from), w, face.lineHeight, face.ascent, true, join});
    };
    if (n == 0) {
        push(0, 0);
        return;
    }
    qsizetype start = 0;
    while (start < n) {
        double x = 0;
        qsizetype lastBreak = -1;  // first character after the last blank of this line
        qsizetype i = start;
        qsizetype end = n;
        qsizetype next = n;
        for (; i < n; ++i) {
            const double w = advances[static_cast<std::size_t>(i)];
            if (x + w > width && i > start) {
                // Break at this blank or after the last one; a word wider
                // than the line breaks right here.
                const bool afterBlank = segment[i] != u' ' && lastBreak > start;
                end = afterBlank ? lastBreak : i;
                next = end;
                break;
            }
            x += w;
            if (segment[i] == u' ') {
                lastBreak = i + 1;
            }
        }
        push(start, end);
        start = next;
        if (start < n) {
            while (start < n && segment[start] == u' ') {
                ++start;
            }
        }
    }
}

void TextShaper::BreakShaped(const QString& text, const FontFace& face, double width,
                             std::vector<ShapedLine>& out) const {
    QTextLayout layout(text, face.font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
    }
    layout.endLayout();
    if (layout.lineCount() == 0) {
        out.push_back({QString(), 0, face.lineHeight, face.ascent, true});
        return;
    }
    for (int k = 0; k < layout.lineCount(); ++k) {
        const QTextLine line = layout.lineAt(k);
        ShapedLine::Join join = ShapedLine::Join::Start;
        if (k > 0) {
            join = text[line.textStart() - 1].isSpace() ? ShapedLine::Join::Blank
                                                        : ShapedLine::Join::Direct;
        }
        out.push_back({TrimTrailingBlanks(text.mid(line.textStart(), line.textLength())),
                       line.naturalTextWidth(), std::max(line.height(), face.lineHeight),
                       std::max(line.ascent(), face.ascent), false, join});
    }
}

std::vector<ShapedLine> TextShaper::BreakLines(const QString& text, int faceIndex, double width) {
    const FontFace& face = FaceAt(faceIndex);
    std::vector<ShapedLine> lines;
    const QString normal = NormaliseBreaks(text);
    qsizetype from = 0;
    while (true) {
        qsizetype to = normal.indexOf(QChar(kLineSeparator), from);
        const bool last = to < 0;
        if (last) {
            to = normal.size();
        }
        const QString segment = normal.mid(from, to - from);
        if (IsPlain(segment, face, glyphs_, advances_)) {
            BreakPlain(segment, face, advances_, width, lines);
        } else {
            BreakShaped(segment, face, width, lines);
        }
        if (last) {
            break;
        }
        from = to + 1;
    }
    return lines;
}

void TextShaper::Batch::Add(QPainter& painter, const QPointF& origin, const ShapedLine& line,
                            int faceIndex) {
    if (line.text.isEmpty()) {
        return;
    }
    const FontFace& face = shaper_.FaceAt(faceIndex);
    if (!line.plain) {
        painter.setFont(face.font);
        painter.drawText(origin, line.text);
        return;
    }
    if (runs_.size() <= static_cast<std::size_t>(faceIndex)) {
        runs_.resize(static_cast<std::size_t>(faceIndex) + 1);
    }
    Run& run = runs_[static_cast<std::size_t>(faceIndex)];
    const QList<quint32> indexes = face.raw.glyphIndexesForString(line.text);
    const QList<QPointF> advances =
        face.raw.advancesForGlyphIndexes(indexes, QRawFont::UseDesignMetrics);
    double x = origin.x();
    for (qsizetype i = 0; i < indexes.size(); ++i) {
        run.glyphs.append(indexes[i]);
        run.positions.append(QPointF(x, origin.y()));
        x += advances[i].x();
    }
}

void TextShaper::Batch::Draw(QPainter& painter) {
    for (std::size_t face = 0; face < runs_.size(); ++face) {
        Run& run = runs_[face];
        if (run.glyphs.isEmpty()) {
            continue;
        }
        QGlyphRun glyphs;
        glyphs.setRawFont(shaper_.FaceAt(static_cast<int>(face)).raw);
        glyphs.setGlyphIndexes(run.glyphs);
        glyphs.setPositions(run.positions);
        painter.drawGlyphRun(QPointF(0, 0), glyphs);
        run = Run();
    }
}

}  // namespace ostrel::qtdocument
