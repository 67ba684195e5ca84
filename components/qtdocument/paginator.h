#pragma once

#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "components/qtdocument/page_drawing.h"
#include "components/qtdocument/page_setup.h"
#include "components/qtdocument/table_text.h"
#include "components/qtdocument/text_shaper.h"

namespace ostrel::qtdocument {

// What the layout placed, one entry per paragraph and per table cell, in the
// order they were handed over: the text (after the table separators were
// resolved) and the 1-based page its first line landed on.
struct PlacedText {
    enum class Kind { Paragraph, Cell };
    Kind kind = Kind::Paragraph;
    std::string text;
    int page = 0;
};

enum class Emphasis { None, Heading, ObjectHeading };

// Running caption and border, fixed before the first page is made.
struct PageDecoration {
    QString left;  // each part: "%d" stands for the page number
    QString centre;
    QString right;
    int captionPoints = 8;
    bool border = false;
};

// One laid-out page: text lines and filled rectangles (bands and rules), in
// twips. Drawing a page only replays this list; no picture of a page is kept.
struct LaidOutPage {
    struct Text {
        ShapedLine line;
        QPointF origin;  // start of the baseline
        int face = 0;
    };
    enum class Fill { Band, Rule, StrongRule, Grid, Border };
    struct Shape {
        QRectF rect;
        Fill fill = Fill::Rule;
    };
    std::vector<Shape> shapes;
    std::vector<Text> texts;
    std::vector<std::shared_ptr<const PageDrawing>> drawings;  // over the rest
};

// Breaks paragraphs and tables into pages as they arrive.
//
// Table styles: 0 draws a thin light rule under every row and a stronger rule
// above the first row of the table on each page; 7 draws a full grid, every
// cell framed. Any other code is drawn like 0.
class Paginator {
  public:
    Paginator(TextShaper& shaper, const PageGeometry& geometry, PageDecoration decoration);

    void AddParagraph(const std::string& text, int points, Emphasis emphasis);
    void AddTable(const TableText& table, int points, std::int32_t style);
    // A new page holding the drawing, listed in the placed texts under title;
    // what is added next begins another page.
    void AddDrawingPage(std::shared_ptr<const PageDrawing> drawing, const std::string& title);
    // Makes sure the document has at least one page.
    void Finish();

    const std::vector<LaidOutPage>& Pages() const { return pages_; }
    const std::vector<PlacedText>& Placed() const { return placed_; }
    const PageGeometry& Geometry() const { return geometry_; }

  private:
    void NewPage();
    void EnsurePage();
    double Bottom() const { return geometry_.body.bottom(); }
    bool AtPageTop() const { return y_ <= geometry_.body.top(); }
    LaidOutPage& Current() { return pages_.back(); }
    int PageNumber() const { return static_cast<int>(pages_.size()); }
    void AddCaption();
    void AddRowRules(const std::vector<double>& columnX, double top, double height,
                     std::int32_t style, bool tableTopOnPage);

    TextShaper& shaper_;
    PageGeometry geometry_;
    PageDecoration decoration_;
    std::vector<LaidOutPage> pages_;
    std::vector<PlacedText> placed_;
    double y_ = 0;
};

}  // namespace ostrel::qtdocument
