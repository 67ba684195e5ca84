#pragma once

#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "components/document/table_data.h"
#include "components/qtdocument/item_log.h"
#include "components/qtdocument/page_drawing.h"
#include "components/qtdocument/page_setup.h"
#include "components/qtdocument/text_shaper.h"

namespace ostrel::qtdocument {

// What the layout placed, one entry per paragraph and per table cell, in the
// order they were handed over: the text (after the table separators were
// resolved) and the 1-based page its first line landed on. Kept only when
// asked for (checks of the layout).
struct PlacedText {
    enum class Kind { Paragraph, Cell };
    Kind kind = Kind::Paragraph;
    std::string text;
    int page = 0;
};

enum class Emphasis : std::uint8_t { None, Heading, ObjectHeading };

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
        bool searchable = true;  // false for captions and repeated headings
    };
    enum class Fill { Band, Rule, StrongRule, Grid, Border };
    struct Shape {
        QRectF rect;
        Fill fill = Fill::Rule;
    };
    // A value that names another object of the report ("Table" in a
    // relationship's block).
    struct Reference {
        QRectF rect;
        std::string kind;
        std::string name;
    };
    std::vector<Shape> shapes;
    std::vector<Text> texts;
    std::vector<Reference> references;
    std::vector<std::shared_ptr<const PageDrawing>> drawings;  // over the rest
};

// A section or object block of the report: where its heading landed.
struct Block {
    bool section = false;
    std::string kind;     // objects: "Table", "Relationship", "Query", ...
    std::string name;     // sections: the title
    std::string heading;  // the heading paragraph as laid out
    int headingPoints = 8;
    int page = 0;    // 0 until its heading is placed
    double top = 0;  // twips from the top of the sheet

    // "Table : Orders" for an object, the name alone for a section or for a
    // block of no kind (the relationship diagram).
    std::string Title() const { return kind.empty() ? name : kind + " : " + name; }
};

// Where a page starts in the report's items, and the state the layout had
// there: enough to lay the page out again without the pages before it.
struct PageStart {
    std::int64_t offset = 0;  // of the item in the log
    std::int32_t item = 0;
    std::int32_t row = 0;     // tables: first row on the page
    std::int32_t line = 0;    // first line of that row or paragraph
    std::int32_t block = -1;  // object block a heading repeats for
    std::int32_t lastBlock = -1;
    bool blockPending = false;  // a block has begun but its heading not yet placed
};

// Breaks the report's items into pages.
//
// In the first pass it records where each page starts (PageStart) and where
// each block's heading landed, and builds page contents only when a page sink
// wants them. A replay starts at one recorded page and builds the pages up to
// a last one, so any page can be laid out again from the items alone.
//
// Table styles: 0 draws a thin light rule under every row and a stronger rule
// above the first row of the table on each page; 7 draws a full grid, every
// cell framed. Any other code is drawn like 0. A page that starts inside an
// object's block repeats the object's heading, marked "(continued)".
class Paginator {
  public:
    using PageSink = std::function<void(int page, LaidOutPage& content)>;

    // First pass. blocks is filled as the report's blocks begin; both it and
    // the shaper must outlive the paginator.
    Paginator(TextShaper& shaper, const PageGeometry& geometry, PageDecoration decoration,
              std::vector<Block>& blocks);
    // Replay of pages from..to (1-based) from their recorded starts, each
    // handed to sink when finished.
    Paginator(TextShaper& shaper, const PageGeometry& geometry, PageDecoration decoration,
              std::vector<Block>& blocks, const PageStart& start, int from, int to, PageSink sink);

    // Hands over every finished page (and, when placed is given, every placed
    // text).
    void SetPageSink(PageSink sink) { sink_ = std::move(sink); }
    void KeepPlaced(bool keep) { keepPlaced_ = keep; }
    // Makes the drawing of a drawing item from the item's number and bytes;
    // nothing when they cannot be read.
    using DrawingReader =
        std::function<std::shared_ptr<const PageDrawing>(std::int32_t, const std::string&)>;
    void SetDrawingReader(DrawingReader reader) { readDrawing_ = std::move(reader); }

    // Lays out one item at the given log position. A replay begins with the
    // item its page starts in and ends as soon as Done().
    void Place(const LoggedItem& item, std::int32_t index, std::int64_t offset);
    // Closes the last page; makes sure the document has at least one page.
    void Finish();
    bool Done() const { return stopped_; }

    // First pass: where every page starts; pages before the last are finished.
    const std::vector<PageStart>& Starts() const { return starts_; }
    int FinishedPages() const;
    const std::vector<PlacedText>& Placed() const { return placed_; }
    const PageGeometry& Geometry() const { return geometry_; }

  private:
    void AddParagraph(const std::string& text, int points, Emphasis emphasis);
    void AddTable(const document::TableData& table, int points, std::int32_t style);
    // Program text: a row per line, the first line's number as the column's
    // width (paginator_code.cpp).
    void AddCode(const document::TableData& lines, int points);
    void BeginBlock(std::int32_t block);
    // A new page holding the drawing, listed in the placed texts under its
    // title; what is added next begins another page.
    void AddDrawingPage(const LoggedItem& item);
    void HeadingPlaced(const std::string& text, int points, Emphasis emphasis, int page,
                       double top);

    void NewPage(std::int32_t row, std::int32_t line);
    void OpenPage();
    void ClosePage();
    void EnsurePage();
    double Bottom() const { return geometry_.body.bottom(); }
    bool AtPageTop() const { return y_ <= geometry_.body.top(); }
    void AddCaption();
    void AddContinuedHeading();
    // A table row broken into its cells' lines.
    struct ShapedRow {
        std::vector<std::vector<ShapedLine>> cells;
        std::size_t lineCount = 1;
        double pitch = 0;
        double ascent = 0;
        double Height() const;
    };
    ShapedRow ShapeRow(const std::vector<std::string>& row, const std::vector<double>& columnX,
                       int face);
    void AddRowRules(const std::vector<double>& columnX, double top, double height,
                     std::int32_t style, bool tableTopOnPage);
    // What placing a table's rows needs from row to row.
    struct TableInProgress {
        std::vector<double> columnX;  // the columns' left edges, then the last's right
        int face = 0;
        std::int32_t style = 0;
        bool references = false;  // cells naming a table are kept as links
        int topPage = 0;          // the last page on which the table drew its top rule
    };
    std::vector<double> ColumnEdges(const std::vector<int>& columnTwips) const;
    // Starts a new page before a row that does not fit on this one, or
    // before the last but one row when the last would be left alone; false
    // when the replay stopped there.
    bool MakeRoomForRow(const document::TableData& table, std::size_t r, std::size_t firstRow,
                        double rowHeight, const TableInProgress& progress);
    // Places a row's lines from line done on, going on to new pages as they
    // fill; returns the page it starts on.
    int PlaceRow(ShapedRow& shaped, const std::vector<std::string>& row, std::size_t r,
                 std::size_t done, TableInProgress& progress);
    // The texts of lines done to done + take of a row's cells; reference:
    // the table the third cell names, kept as a link.
    void AddRowTexts(ShapedRow& shaped, std::size_t done, std::size_t take,
                     const TableInProgress& progress, const std::string* reference);
    void AddText(ShapedLine&& line, const QPointF& origin, int face, bool searchable = true);
    void AddShape(const QRectF& rect, LaidOutPage::Fill fill);

    TextShaper& shaper_;
    PageGeometry geometry_;
    PageDecoration decoration_;
    std::vector<Block>& blocks_;
    DrawingReader readDrawing_;
    PageSink sink_;
    bool replay_ = false;
    bool keepPlaced_ = false;
    bool stopped_ = false;
    int lastPage_ = 0;  // replay: the last page to build

    std::vector<PageStart> starts_;
    std::vector<PlacedText> placed_;
    LaidOutPage current_;
    int pageNumber_ = 0;
    double y_ = 0;

    // Where the layout is: the item being placed and the block state.
    std::int32_t item_ = 0;
    std::int64_t offset_ = 0;
    std::int32_t startRow_ = 0;  // replay: skip to this row and line of the first item
    std::int32_t startLine_ = 0;
    bool atStart_ = false;  // replay: the first item is not placed yet
    std::int32_t block_ = -1;
    std::int32_t lastBlock_ = -1;
    std::int32_t firstUnplacedBlock_ = 0;
    bool blockPending_ = false;
};

}  // namespace ostrel::qtdocument
