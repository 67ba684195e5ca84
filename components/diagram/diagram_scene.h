#pragma once

#include <QColor>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <vector>

#include "components/diagram/diagram_model.h"

namespace ostrel::diagram {

// A piece of text on a diagram, in points: its baseline's start and size.
struct SceneText {
    enum class Role { Title, Field, Mark, Legend, Stub, Heading, Note };
    QPointF baseline;
    QString text;
    double points = 8;
    bool bold = false;
    bool italic = false;
    Role role = Role::Field;
    // Which end of its line an end mark belongs to.
    enum class End { None, Primary, Foreign };
    End end = End::None;
};

// A table's box: a title row, then one row per field shown.
struct SceneBox {
    int table = 0;  // position in the model's tables
    QString name;
    bool linked = false;
    QRectF rect;
    double rowHeight = 0;
    std::vector<SceneText> texts;  // title first, then the rows
    std::vector<int> keyRows;      // rows (1-based below the title) of key fields
    int hiddenFields = 0;          // fields left out of a box too tall for a page
};

// One line of a relationship (one per field pair), with its end marks.
struct SceneLine {
    int relation = 0;  // position in the model's relations
    int pair = 0;
    QString primaryName;
    QString foreignName;
    // A cubic Bezier chain from the primary side to the foreign side.
    std::vector<QPointF> path;
    EndMark primaryEnd = EndMark::None;
    EndMark foreignEnd = EndMark::None;
    bool arrowToPrimary = false;
    bool arrowToForeign = false;
    std::vector<QPolygonF> arrows;
    std::vector<SceneText> texts;  // end marks and the cascade legend
    bool continued = false;        // ends at a "continued" label
};

// Labels standing for tables drawn elsewhere (a group split across pages):
// one row per such table, beside the table of this part its lines lead from.
struct SceneStub {
    struct Row {
        int table = 0;
        QString name;
        SceneText text;
    };
    QRectF rect;
    double rowHeight = 0;
    std::vector<Row> rows;
};

// One laid-out group of tables (or part of a group), in points with the
// origin at its top-left corner, drawn at its scale.
struct DiagramBlock {
    QSizeF size;
    double scale = 1;
    std::vector<SceneBox> boxes;
    std::vector<SceneLine> lines;
    std::vector<SceneStub> stubs;
    std::vector<SceneText> captions;  // above the drawing, inside size
};

struct PlacedBlock {
    DiagramBlock block;
    QPointF topLeft;  // in the page's drawing area, points
};

// One page of the diagram: headings and notes, and the blocks on it.
struct DiagramPage {
    std::vector<SceneText> texts;
    std::vector<PlacedBlock> blocks;
};

// Colours of the drawing, shared by every output.
namespace scene_colour {
inline const QColor kInk{0x20, 0x20, 0x20};
inline const QColor kTitleFill{0xdc, 0xe3, 0xee};
inline const QColor kLine{0x35, 0x4a, 0x6b};
inline const QColor kLegend{0x5a, 0x5a, 0x5a};
}  // namespace scene_colour

}  // namespace ostrel::diagram
