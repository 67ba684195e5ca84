#pragma once

#include <QFont>
#include <QPainter>
#include <QPointF>
#include <QRawFont>
#include <QString>
#include <cstdint>
#include <vector>

namespace ostrel::qtdocument {

// One typeface at one size and weight, measured in twips: a font of 8 points
// is a font of 160 twips.
struct FontFace {
    QFont font;    // for text that needs full shaping and font fallback
    QRawFont raw;  // for plain text: glyphs straight from the character map
    double ascent = 0;
    double lineHeight = 0;
};

// A line of text as placed: what to draw and whether plain glyph drawing
// renders it exactly as it was measured.
struct ShapedLine {
    // How the line follows the one before it in the same text: it starts the
    // text or follows a line break, it was wrapped at blanks (dropped from
    // both lines), or a word too long for the line was broken.
    enum class Join : std::uint8_t { Start, Blank, Direct };
    QString text;
    double width = 0;  // advance of the drawn text
    double height = 0;
    double ascent = 0;
    bool plain = true;
    Join join = Join::Start;
};

// Measures, breaks and draws text. Plain text (Latin, Greek, Cyrillic and
// similar scripts that need no shaping, all of whose characters the primary
// typeface holds) is measured and drawn from the typeface's own glyph table,
// which is fast; everything else goes through QTextLayout and QPainter's text
// drawing, which pick fallback fonts from the system and shape complex
// scripts. Kerning is off in both paths so that the two measure alike.
class TextShaper {
  public:
    TextShaper();

    // Index of the face for this size and weight, created on first use;
    // mono asks for a fixed-width face (for program text).
    int Face(int points, bool bold, bool mono = false);
    const FontFace& FaceAt(int index) const { return faces_.at(static_cast<std::size_t>(index)); }

    // Breaks text into lines no wider than width (twips). Carriage returns,
    // line feeds and CR LF pairs are line breaks; lines break between words,
    // and a word wider than the line is broken between characters. The empty
    // text is one empty line.
    std::vector<ShapedLine> BreakLines(const QString& text, int face, double width);

    // Gathers the plain lines of a page and draws each face's glyphs as one
    // run; other lines are drawn as they come. A page of one run per face
    // costs the PDF writer far less than a run per line and looks the same.
    class Batch {
      public:
        explicit Batch(const TextShaper& shaper) : shaper_(shaper) {}
        void Add(QPainter& painter, const QPointF& origin, const ShapedLine& line, int face);
        void Draw(QPainter& painter);

      private:
        struct Run {
            QList<quint32> glyphs;
            QList<QPointF> positions;
        };
        const TextShaper& shaper_;
        std::vector<Run> runs_;  // by face index
    };

    // Turns line breaks into line separators and tabs into blanks.
    static QString NormaliseBreaks(const QString& text);

    struct FaceKey {
        int points;
        bool bold;
        bool mono = false;
    };
    const std::vector<FaceKey>& Keys() const { return keys_; }
    // Makes the faces another shaper has made, under the same indexes: a
    // shaper is used by one thread only, and another thread draws what this
    // one laid out with a twin of it.
    void Match(const std::vector<FaceKey>& keys);

  private:
    bool IsPlain(const QString& text, const FontFace& face, std::vector<quint32>& glyphs,
                 std::vector<double>& advances) const;
    void BreakPlain(const QString& segment, const FontFace& face,
                    const std::vector<double>& advances, double width,
                    std::vector<ShapedLine>& out) const;
    void BreakShaped(const QString& text, const FontFace& face, double width,
                     std::vector<ShapedLine>& out) const;

    std::vector<FaceKey> keys_;
    std::vector<FontFace> faces_;
    // Scratch buffers reused between calls.
    std::vector<quint32> glyphs_;
    std::vector<double> advances_;
};

}  // namespace ostrel::qtdocument
