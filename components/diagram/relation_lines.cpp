#include "components/diagram/relation_lines.h"

#include <QLineF>
#include <QPainterPath>
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <vector>

namespace ostrel::diagram::page_plan {
namespace {

// The curve of a cubic Bezier chain.
QPainterPath Curve(const std::vector<QPointF>& path) {
    QPainterPath curve(path.front());
    for (std::size_t i = 1; i + 2 < path.size(); i += 3) {
        curve.cubicTo(path[i], path[i + 1], path[i + 2]);
    }
    return curve;
}

// The point a line ends at when Graphviz gave it no route: the centre of
// the node.
QPointF Centre(const LayoutResult& layout, int node, QPointF offset) {
    const LayoutPoint p = layout.centres[static_cast<std::size_t>(node)];
    return QPointF(p.x, p.y) + offset;
}

// The box of a table laid out in this part, if it is.
std::optional<QRectF> RectOf(int table, const PartGraph& part, const LayoutResult& layout,
                             QPointF offset) {
    const auto found = part.nodeOf.find(table);
    if (found == part.nodeOf.end()) {
        return std::nullopt;
    }
    const auto node = static_cast<std::size_t>(found->second);
    const LayoutNode& size = part.graph.nodes[node];
    const QPointF centre = QPointF(layout.centres[node].x, layout.centres[node].y) + offset;
    return QRectF(centre.x() - size.width / 2, centre.y() - size.height / 2, size.width,
                  size.height);
}

QPointF NearestOnOutline(const QRectF& rect, QPointF p) {
    const QPointF inside(std::clamp(p.x(), rect.left(), rect.right()),
                         std::clamp(p.y(), rect.top(), rect.bottom()));
    if (inside != p) {
        return inside;  // outside: the nearest point of the rectangle is on its outline
    }
    const double left = p.x() - rect.left();
    const double right = rect.right() - p.x();
    const double top = p.y() - rect.top();
    const double bottom = rect.bottom() - p.y();
    const double nearest = std::min({left, right, top, bottom});
    if (nearest == left) {
        return {rect.left(), p.y()};
    }
    if (nearest == right) {
        return {rect.right(), p.y()};
    }
    if (nearest == top) {
        return {p.x(), rect.top()};
    }
    return {p.x(), rect.bottom()};
}

// The unit direction from an end of the path into the line.
QPointF Away(const std::vector<QPointF>& path, bool atStart) {
    const QPointF end = atStart ? path.front() : path.back();
    for (std::size_t i = 1; i < path.size(); ++i) {
        const QPointF other = atStart ? path[i] : path[path.size() - 1 - i];
        const QPointF d = other - end;
        const double length = std::hypot(d.x(), d.y());
        if (length > 0.5) {
            return d / length;
        }
    }
    return {1, 0};
}

// The route Graphviz gave the edge, or a straight line between the nodes'
// centres where it gave none that can be drawn.
std::vector<QPointF> RouteOf(const PartGraph& part, std::size_t edge, const LayoutResult& layout,
                             QPointF offset) {
    std::vector<QPointF> path;
    for (const LayoutPoint& p : layout.paths[edge]) {
        path.push_back(QPointF(p.x, p.y) + offset);
    }
    if (path.size() < 4 || (path.size() - 1) % 3 != 0) {
        const LayoutEdge& ends = part.graph.edges[edge];
        const QPointF from = Centre(layout, ends.tail, offset);
        const QPointF to = Centre(layout, ends.head, offset);
        path = {from, from + (to - from) / 3, from + (to - from) * 2 / 3, to};
    }
    return path;
}

// Graphviz may end a line (a loop back to its own table, for one) a little
// off the box: carry it on to the outline.
void CarryToOutlines(std::vector<QPointF>& path, const DiagramRelation& relation,
                     const PartGraph& part, const LayoutResult& layout, QPointF offset) {
    if (const auto box = RectOf(relation.primaryTable, part, layout, offset)) {
        const QPointF onOutline = NearestOnOutline(*box, path.front());
        if (QLineF(onOutline, path.front()).length() > 0.25) {
            path.insert(path.begin(), {onOutline, onOutline, path.front()});
        }
    }
    if (const auto box = RectOf(relation.foreignTable, part, layout, offset)) {
        const QPointF onOutline = NearestOnOutline(*box, path.back());
        if (QLineF(onOutline, path.back()).length() > 0.25) {
            const QPointF last = path.back();
            path.insert(path.end(), {last, onOutline, onOutline});
        }
    }
}

// The arrow and the mark at one end of a line.
void AddEnd(SceneLine& line, QPointF end, QPointF along, EndMark mark, bool arrow,
            SceneText::End side, const TextMeasure& measure) {
    // Sizes in points.
    static constexpr double kMarkOffset = 7;
    static constexpr double kArrowLength = 7;
    static constexpr double kArrowHalfWidth = 3;
    // "∞" is a small glyph: it is set larger than the "1" to read as well.
    static constexpr double kManyPoints = 11;
    const QPointF normal(-along.y(), along.x());
    if (arrow) {
        const QPointF base = end + along * kArrowLength;
        line.arrows.push_back(
            QPolygonF({end, base + normal * kArrowHalfWidth, base - normal * kArrowHalfWidth}));
    }
    if (mark == EndMark::None) {
        return;
    }
    SceneText text;
    text.role = SceneText::Role::Mark;
    text.end = side;
    text.text = mark == EndMark::One ? QStringLiteral("1") : QStringLiteral("∞");
    text.bold = mark == EndMark::One;
    text.points = mark == EndMark::One ? kTextPoints : kManyPoints;
    const double width = measure.Width(text.text, text.points, text.bold);
    // Beside the line, clear of the box and of an arrow.
    QPointF centre = end + along * (kMarkOffset + (arrow ? kArrowLength : 0));
    centre += (normal.y() <= 0 ? normal : -normal) * 5.0;
    text.baseline = QPointF(centre.x() - width / 2, centre.y() + text.points * 0.3);
    line.texts.push_back(text);
}

// The cascade legend at the middle of the line.
void AddLegend(SceneLine& line, const std::string& legendText, const TextMeasure& measure) {
    const QPointF middle = Curve(line.path).pointAtPercent(0.5);
    SceneText legend;
    legend.role = SceneText::Role::Legend;
    legend.italic = true;
    legend.text = ToQString(legendText);
    const double width = measure.Width(legend.text, kTextPoints, false, true);
    legend.baseline = QPointF(middle.x() - width / 2, middle.y() - 3);
    line.texts.push_back(legend);
}

// Where the end marks are, which a legend must not cover.
std::vector<QRectF> MarkRects(const DiagramBlock& block, const TextMeasure& measure) {
    std::vector<QRectF> marks;
    for (const SceneLine& line : block.lines) {
        for (const SceneText& text : line.texts) {
            if (text.role == SceneText::Role::Mark) {
                marks.emplace_back(text.baseline.x(), text.baseline.y() - text.points * 0.75,
                                   measure.Width(text.text, text.points, text.bold),
                                   text.points * 0.9);
            }
        }
    }
    return marks;
}

void PlaceLegend(SceneText& text, const SceneLine& line, const DiagramBlock& block,
                 const std::vector<QRectF>& marks, const TextMeasure& measure) {
    static constexpr std::array<double, 7> kAlong{0.5, 0.4, 0.6, 0.3, 0.7, 0.2, 0.8};
    const QPainterPath curve = Curve(line.path);
    const double width = measure.Width(text.text, text.points, false, true);
    const auto place = [&](double t) {
        const QPointF at = curve.pointAtPercent(t);
        return QPointF(at.x() - width / 2, at.y() - 3);
    };
    const auto clear = [&](QPointF baseline, bool ofBoxes) {
        const QRectF rect(baseline.x() - 1, baseline.y() - text.points * 0.8, width + 2,
                          text.points * 1.05);
        const auto hits = [&rect](const QRectF& other) { return other.intersects(rect); };
        return std::none_of(marks.begin(), marks.end(), hits) &&
               (!ofBoxes || std::none_of(block.boxes.begin(), block.boxes.end(),
                                         [&](const SceneBox& box) { return hits(box.rect); }));
    };
    // Clear of boxes and marks if possible, else of the marks, else a line
    // higher than the middle.
    text.baseline = place(0.5) - QPointF(0, text.points);
    bool placed = false;
    for (const bool ofBoxes : {true, false}) {
        for (const double t : kAlong) {
            if (!placed && clear(place(t), ofBoxes)) {
                text.baseline = place(t);
                placed = true;
            }
        }
    }
}

}  // namespace

SceneLine DrawLine(const PlanContext& context, const PartGraph& part, std::size_t edge,
                   const LayoutResult& layout, QPointF offset) {
    const PartGraph::Edge& drawn = part.edges[edge];
    const DiagramRelation& relation = context.Relation(drawn.relation);
    SceneLine line;
    line.relation = drawn.relation;
    line.pair = drawn.pair;
    line.primaryName = ToQString(context.Table(relation.primaryTable).name);
    line.foreignName = ToQString(context.Table(relation.foreignTable).name);
    line.primaryEnd = relation.primaryEnd;
    line.foreignEnd = relation.foreignEnd;
    line.arrowToPrimary = relation.arrowToPrimary;
    line.arrowToForeign = relation.arrowToForeign;
    line.continued = !part.Contains(relation.primaryTable) || !part.Contains(relation.foreignTable);
    line.path = RouteOf(part, edge, layout, offset);
    CarryToOutlines(line.path, relation, part, layout, offset);
    // Marks at the ends drawn on tables; a "continued" label has none.
    if (part.Contains(relation.primaryTable)) {
        AddEnd(line, line.path.front(), Away(line.path, true), relation.primaryEnd,
               relation.arrowToPrimary, SceneText::End::Primary, context.measure);
    }
    if (part.Contains(relation.foreignTable)) {
        AddEnd(line, line.path.back(), Away(line.path, false), relation.foreignEnd,
               relation.arrowToForeign, SceneText::End::Foreign, context.measure);
    }
    if (!relation.legend.empty() && drawn.pair == 0) {
        AddLegend(line, relation.legend, context.measure);
    }
    return line;
}

void PlaceLegends(DiagramBlock& block, const TextMeasure& measure) {
    const std::vector<QRectF> marks = MarkRects(block, measure);
    for (SceneLine& line : block.lines) {
        for (SceneText& text : line.texts) {
            if (text.role == SceneText::Role::Legend) {
                PlaceLegend(text, line, block, marks, measure);
            }
        }
    }
}

}  // namespace ostrel::diagram::page_plan
