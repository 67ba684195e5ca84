#include "components/diagram/diagram_pages.h"

#include <QLineF>
#include <QPainterPath>
#include <algorithm>
#include <array>
#include <cmath>
#include <deque>
#include <limits>
#include <map>
#include <memory>
#include <optional>

#include "components/diagram/scene_font.h"

namespace ostrel::diagram {
namespace {

using Clock = std::chrono::steady_clock;

// Sizes in points.
constexpr double kRowHeight = 12;
constexpr double kPadX = 5;
constexpr double kKeyGutter = 11;
constexpr double kMinBoxWidth = 72;
constexpr double kMaxBoxWidth = 230;
constexpr double kStubPadX = 4;
constexpr double kCaptionHeight = 14;
constexpr double kHeadingPoints = 11;
constexpr double kHeadingHeight = 24;
constexpr double kNoteHeight = 16;
constexpr double kBlockGap = 18;
constexpr double kMarkOffset = 7;
constexpr double kArrowLength = 7;
constexpr double kArrowHalfWidth = 3;
// "∞" is a small glyph: it is set larger than the "1" to read as well.
constexpr double kManyPoints = 11;
// A group alone on its page may be drawn this much larger than its nominal
// size.
constexpr double kSoloMaxScale = 1.35;
// How much more room than the boxes themselves a ranked layout takes; used
// to decide how many tables to try on one page.
constexpr double kSpread = 3.5;
constexpr int kMaxTablesPerPart = 60;

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

double Baseline(double rowTop, double points) {
    return rowTop + kRowHeight / 2 + points * 0.36;
}

// A table's box before layout: its size and what it lists.
struct BoxPlan {
    double width = 0;
    double height = 0;
    QString title;
    std::vector<QString> rows;
    std::vector<bool> key;
    int hiddenFields = 0;
    // The row a field's line attaches to (1-based below the title).
    int RowOfField(int field) const {
        if (field < 0) {
            return 0;
        }
        return std::min(field + 1, static_cast<int>(rows.size()));
    }
};

// One part of a group: the tables laid out together.
struct Part {
    std::vector<int> tables;
    int group = 0;
    int index = 0;  // within the group
    int count = 1;  // parts in the group
    DiagramBlock block;
    int page = 0;  // 0-based page of the plan
};

class Planner {
  public:
    Planner(const DiagramModel& model, const PagePlanOptions& options)
        : model_(model), options_(options), started_(Clock::now()) {
        maxRows_ = std::numeric_limits<int>::max();
        if (!options_.onePage) {
            const double usable = options_.area.height() - kHeadingHeight - kCaptionHeight;
            maxRows_ = std::max(3, static_cast<int>(usable / kMinScale / kRowHeight) - 2);
        }
        for (const DiagramTable& table : model_.tables) {
            boxes_.push_back(PlanBox(table));
        }
        adjacent_.resize(model_.tables.size());
        for (const DiagramRelation& relation : model_.relations) {
            adjacent_[static_cast<std::size_t>(relation.primaryTable)].push_back(
                relation.foreignTable);
            adjacent_[static_cast<std::size_t>(relation.foreignTable)].push_back(
                relation.primaryTable);
        }
    }

    std::vector<DiagramPage> Plan() {
        const auto groups = model_.ConnectedGroups();
        for (std::size_t g = 0; g < groups.size(); ++g) {
            PlanGroup(groups[g], static_cast<int>(g));
        }
        Pack();
        LabelStubs();
        return Pages();
    }

  private:
    BoxPlan PlanBox(const DiagramTable& table) const {
        BoxPlan box;
        box.title = Q(table.name);
        const int shown = static_cast<int>(std::min<std::size_t>(
            table.fields.size(), static_cast<std::size_t>(std::max(maxRows_ - 1, 1))));
        double width = measure_.Width(box.title, kTextPoints, true) + 2 * kPadX;
        if (table.linked) {
            width += measure_.Width(QStringLiteral(" (linked)"), kTextPoints, false, true);
        }
        for (int i = 0; i < shown; ++i) {
            const DiagramField& field = table.fields[static_cast<std::size_t>(i)];
            box.rows.push_back(Q(field.name));
            box.key.push_back(field.primaryKey);
            width = std::max(width, measure_.Width(box.rows.back(), kTextPoints, field.primaryKey) +
                                        kKeyGutter + 2 * kPadX);
        }
        if (static_cast<std::size_t>(shown) < table.fields.size()) {
            box.hiddenFields = static_cast<int>(table.fields.size()) - shown;
            box.rows.push_back(QStringLiteral("… %1 more fields").arg(box.hiddenFields));
            box.key.push_back(false);
        }
        // A point to spare, so that measuring again never cuts a name short.
        box.width = std::clamp(width + 1, kMinBoxWidth, kMaxBoxWidth);
        box.height = kRowHeight * static_cast<double>(box.rows.size() + 1);
        return box;
    }

    const BoxPlan& Box(int table) const { return boxes_[static_cast<std::size_t>(table)]; }

    // The group's tables in breadth-first order from its best-connected
    // table, so that consecutive tables are near each other in the graph.
    std::vector<int> BreadthFirst(const std::vector<int>& group) const {
        int start = group.front();
        for (int table : group) {
            if (adjacent_[static_cast<std::size_t>(table)].size() >
                adjacent_[static_cast<std::size_t>(start)].size()) {
                start = table;
            }
        }
        std::vector<int> order;
        std::map<int, bool> seen;
        std::deque<int> queue{start};
        seen[start] = true;
        while (!queue.empty()) {
            const int table = queue.front();
            queue.pop_front();
            order.push_back(table);
            for (int next : adjacent_[static_cast<std::size_t>(table)]) {
                if (!seen[next]) {
                    seen[next] = true;
                    queue.push_back(next);
                }
            }
        }
        return order;
    }

    double Capacity() const {
        const double height =
            options_.onePage ? options_.area.height() : options_.area.height() - kHeadingHeight;
        return options_.area.width() * height / (kMinScale * kMinScale) / kSpread;
    }

    void PlanGroup(const std::vector<int>& group, int groupIndex) {
        // First try: the whole group at once, when it may fit.
        double area = 0;
        for (int table : group) {
            area += Box(table).width * Box(table).height;
        }
        std::vector<std::vector<int>> chunks;
        if (area <= Capacity() && static_cast<int>(group.size()) <= kMaxTablesPerPart) {
            chunks.push_back(group);
        } else {
            // Fill parts in breadth-first order up to a page's capacity.
            std::vector<int> chunk;
            double chunkArea = 0;
            for (int table : BreadthFirst(group)) {
                const double boxArea = Box(table).width * Box(table).height;
                if (!chunk.empty() && (chunkArea + boxArea > Capacity() ||
                                       static_cast<int>(chunk.size()) >= kMaxTablesPerPart)) {
                    chunks.push_back(std::move(chunk));
                    chunk.clear();
                    chunkArea = 0;
                }
                chunk.push_back(table);
                chunkArea += boxArea;
            }
            chunks.push_back(std::move(chunk));
        }
        std::vector<Part> parts;
        for (std::vector<int>& chunk : chunks) {
            LayOutFitting(std::move(chunk), groupIndex, parts);
        }
        for (std::size_t i = 0; i < parts.size(); ++i) {
            parts[i].index = static_cast<int>(i);
            parts[i].count = static_cast<int>(parts.size());
            if (parts.size() > 1) {
                AddPartCaption(parts[i]);
            }
        }
        for (Part& part : parts) {
            parts_.push_back(std::move(part));
        }
    }

    QSizeF PartArea() const {
        if (options_.onePage) {
            return options_.area;
        }
        return {options_.area.width(), options_.area.height() - kHeadingHeight};
    }

    // Lays out the tables as one part, halving the part until it fits a page.
    void LayOutFitting(std::vector<int> tables, int groupIndex, std::vector<Part>& parts) {
        Part part;
        part.tables = std::move(tables);
        part.group = groupIndex;
        part.block = LayOutPart(part, true);
        // Room is kept for the caption of a part of a split group.
        const QSizeF area = PartArea() - QSizeF(0, kCaptionHeight);
        const bool fits = part.block.size.width() * kMinScale <= area.width() &&
                          part.block.size.height() * kMinScale <= area.height();
        if (fits) {
            parts.push_back(std::move(part));
            return;
        }
        if (part.tables.size() > 1) {
            const auto middle =
                part.tables.begin() + static_cast<std::ptrdiff_t>(part.tables.size() / 2);
            std::vector<int> first(part.tables.begin(), middle);
            std::vector<int> second(middle, part.tables.end());
            LayOutFitting(std::move(first), groupIndex, parts);
            LayOutFitting(std::move(second), groupIndex, parts);
            return;
        }
        // One table whose lines to other pages do not fit beside it: the
        // table alone, with a note.
        part.block = LayOutPart(part, false);
        parts.push_back(std::move(part));
    }

    // Builds the Graphviz graph of one part (its tables, and one label per
    // table outside it that a line leads to) and turns the layout into a block.
    DiagramBlock LayOutPart(Part& part, bool withStubs) {
        std::map<int, int> nodeOf;
        LayoutGraph graph;
        for (int table : part.tables) {
            nodeOf[table] = static_cast<int>(graph.nodes.size());
            const BoxPlan& box = Box(table);
            graph.nodes.push_back({box.width, box.height, static_cast<int>(box.rows.size()) + 1});
        }
        struct EdgeInfo {
            int relation;
            int pair;
        };
        std::vector<EdgeInfo> edgeInfo;
        // One label node per table of the part and side (the outside table
        // primary or foreign), with a row per outside table.
        struct StubNode {
            std::vector<int> tables;
            int node = -1;
        };
        std::map<std::pair<int, bool>, StubNode> stubs;
        struct Pending {
            int relation;
            int pair;
            int outside;  // -1: both tables are in the part
            bool outsideIsPrimary;
            std::pair<int, bool> stubKey;
        };
        std::vector<Pending> pending;
        int leftOut = 0;
        for (std::size_t r = 0; r < model_.relations.size(); ++r) {
            const DiagramRelation& relation = model_.relations[r];
            const bool hasPrimary = nodeOf.contains(relation.primaryTable);
            const bool hasForeign = nodeOf.contains(relation.foreignTable);
            if (!hasPrimary && !hasForeign) {
                continue;
            }
            if (!(hasPrimary && hasForeign) && !withStubs) {
                ++leftOut;
                continue;
            }
            Pending entry{static_cast<int>(r), 0, -1, false, {0, false}};
            if (!hasPrimary || !hasForeign) {
                entry.outsideIsPrimary = !hasPrimary;
                entry.outside = hasPrimary ? relation.foreignTable : relation.primaryTable;
                entry.stubKey = {hasPrimary ? relation.primaryTable : relation.foreignTable,
                                 entry.outsideIsPrimary};
                std::vector<int>& rows = stubs[entry.stubKey].tables;
                if (std::find(rows.begin(), rows.end(), entry.outside) == rows.end()) {
                    rows.push_back(entry.outside);
                }
            }
            const std::size_t pairs = std::max<std::size_t>(relation.fields.size(), 1);
            for (std::size_t p = 0; p < pairs; ++p) {
                entry.pair = static_cast<int>(p);
                pending.push_back(entry);
            }
        }
        const QString stubSample = StubText(QString(), 9999, 99);
        for (auto& [key, stub] : stubs) {
            double width = 0;
            for (int table : stub.tables) {
                width = std::max(
                    width, measure_.Width(
                               stubSample + Q(model_.tables[static_cast<std::size_t>(table)].name),
                               kTextPoints, false, true));
            }
            stub.node = static_cast<int>(graph.nodes.size());
            graph.nodes.push_back({std::min(width + 2 * kStubPadX, kMaxBoxWidth + 60),
                                   kRowHeight * static_cast<double>(stub.tables.size()),
                                   static_cast<int>(stub.tables.size())});
        }
        for (const Pending& entry : pending) {
            const DiagramRelation& relation =
                model_.relations[static_cast<std::size_t>(entry.relation)];
            const auto p = static_cast<std::size_t>(entry.pair);
            LayoutEdge edge{-1, -1, -1, -1};
            const auto fieldRow = [&](int table, bool primary) {
                if (p >= relation.fields.size()) {
                    return -1;
                }
                return Box(table).RowOfField(primary ? relation.fields[p].primaryRow
                                                     : relation.fields[p].foreignRow);
            };
            const auto stubRow = [&](const StubNode& stub) {
                return static_cast<int>(
                    std::find(stub.tables.begin(), stub.tables.end(), entry.outside) -
                    stub.tables.begin());
            };
            if (entry.outside >= 0 && entry.outsideIsPrimary) {
                const StubNode& stub = stubs.at(entry.stubKey);
                edge = {stub.node, nodeOf.at(relation.foreignTable), stubRow(stub),
                        fieldRow(relation.foreignTable, false)};
            } else if (entry.outside >= 0) {
                const StubNode& stub = stubs.at(entry.stubKey);
                edge = {nodeOf.at(relation.primaryTable), stub.node,
                        fieldRow(relation.primaryTable, true), stubRow(stub)};
            } else {
                edge = {nodeOf.at(relation.primaryTable), nodeOf.at(relation.foreignTable),
                        fieldRow(relation.primaryTable, true),
                        fieldRow(relation.foreignTable, false)};
            }
            graph.edges.push_back(edge);
            edgeInfo.push_back({entry.relation, entry.pair});
        }

        // Room between columns for the widest cascade legend on a line; not
        // for a part of a split group, which needs the room for its tables
        // (its legends then find what room there is).
        for (const EdgeInfo& info : stubs.empty() ? edgeInfo : std::vector<EdgeInfo>{}) {
            const std::string& legend =
                model_.relations[static_cast<std::size_t>(info.relation)].legend;
            if (!legend.empty()) {
                graph.rankGap = std::clamp(measure_.Width(Q(legend), kTextPoints, false, true) + 16,
                                           graph.rankGap, 140.0);
            }
        }
        LayoutMethod method = MethodFor(graph, options_.limits);
        const bool late = Clock::now() - started_ > options_.budget;
        if (late) {
            method = LayoutMethod::Straight;
        }
        const LayoutResult layout = LayOutGraph(graph, method);

        DiagramBlock block;
        double top = 0;
        if (method == LayoutMethod::Straight) {
            block.captions.push_back(CaptionText(
                late ? QStringLiteral("Drawn with straight lines: the time for laying out the "
                                      "diagram ran out.")
                     : QStringLiteral("Drawn with straight lines: too many tables and lines to "
                                      "route in good time."),
                top));
            top += kCaptionHeight;
        }
        if (leftOut > 0) {
            block.captions.push_back(CaptionText(
                QStringLiteral("%1 lines to tables on other pages are not shown.").arg(leftOut),
                top));
            top += kCaptionHeight;
        }
        const QPointF offset(0, top);
        for (std::size_t i = 0; i < part.tables.size(); ++i) {
            const LayoutPoint centre = layout.centres[i];
            block.boxes.push_back(MakeBox(part.tables[i], QPointF(centre.x, centre.y) + offset));
        }
        for (const auto& [key, stubNode] : stubs) {
            const auto node = static_cast<std::size_t>(stubNode.node);
            const LayoutPoint centre = layout.centres[node];
            const LayoutNode& size = graph.nodes[node];
            SceneStub stub;
            stub.rect = QRectF(centre.x - size.width / 2, centre.y - size.height / 2, size.width,
                               size.height)
                            .translated(offset);
            stub.rowHeight = kRowHeight;
            for (int table : stubNode.tables) {
                stub.rows.push_back(
                    {table, Q(model_.tables[static_cast<std::size_t>(table)].name), {}});
            }
            block.stubs.push_back(std::move(stub));
        }
        for (std::size_t e = 0; e < graph.edges.size(); ++e) {
            block.lines.push_back(MakeLine(edgeInfo[e].relation, edgeInfo[e].pair, layout.paths[e],
                                           graph, graph.edges[e], layout, offset, nodeOf));
        }
        PlaceLegends(block);
        block.size = QSizeF(std::max(layout.width, CaptionWidth(block)), layout.height + top);
        return block;
    }

    double CaptionWidth(const DiagramBlock& block) const {
        double width = 0;
        for (const SceneText& caption : block.captions) {
            width = std::max(width, measure_.Width(caption.text, caption.points, false, true));
        }
        return width;
    }

    static SceneText CaptionText(const QString& text, double top) {
        SceneText caption;
        caption.text = text;
        caption.italic = true;
        caption.role = SceneText::Role::Note;
        caption.baseline = QPointF(0, Baseline(top, kTextPoints));
        return caption;
    }

    QString StubText(const QString& name, int page, int partNumber) const {
        if (options_.onePage) {
            return QStringLiteral("continued in part %1: ").arg(partNumber) + name;
        }
        return QStringLiteral("continued on page %1: ").arg(page) + name;
    }

    SceneBox MakeBox(int table, QPointF centre) const {
        const BoxPlan& plan = Box(table);
        const DiagramTable& source = model_.tables[static_cast<std::size_t>(table)];
        SceneBox box;
        box.table = table;
        box.name = plan.title;
        box.linked = source.linked;
        box.rowHeight = kRowHeight;
        box.hiddenFields = plan.hiddenFields;
        box.rect = QRectF(centre.x() - plan.width / 2, centre.y() - plan.height / 2, plan.width,
                          plan.height);
        SceneText title;
        title.role = SceneText::Role::Title;
        title.bold = true;
        title.text = plan.title;
        if (source.linked) {
            title.text = measure_.Elided(
                plan.title,
                plan.width - 2 * kPadX -
                    measure_.Width(QStringLiteral(" (linked)"), kTextPoints, false, true),
                kTextPoints, true);
        } else {
            title.text = measure_.Elided(plan.title, plan.width - 2 * kPadX, kTextPoints, true);
        }
        title.baseline = QPointF(box.rect.left() + kPadX, Baseline(box.rect.top(), kTextPoints));
        box.texts.push_back(title);
        for (std::size_t i = 0; i < plan.rows.size(); ++i) {
            SceneText row;
            row.role = SceneText::Role::Field;
            row.bold = plan.key[i];
            row.text = measure_.Elided(plan.rows[i], plan.width - 2 * kPadX - kKeyGutter,
                                       kTextPoints, row.bold);
            const double rowTop = box.rect.top() + kRowHeight * static_cast<double>(i + 1);
            row.baseline =
                QPointF(box.rect.left() + kPadX + kKeyGutter, Baseline(rowTop, kTextPoints));
            box.texts.push_back(row);
            if (plan.key[i]) {
                box.keyRows.push_back(static_cast<int>(i) + 1);
            }
        }
        return box;
    }

    // The point a line ends at when Graphviz gave it no route: the middle of
    // the node's side facing the other end.
    static QPointF Centre(const LayoutResult& layout, int node, QPointF offset) {
        const LayoutPoint p = layout.centres[static_cast<std::size_t>(node)];
        return QPointF(p.x, p.y) + offset;
    }

    SceneLine MakeLine(int relationIndex, int pair, const std::vector<LayoutPoint>& route,
                       const LayoutGraph& graph, const LayoutEdge& edge, const LayoutResult& layout,
                       QPointF offset, const std::map<int, int>& nodeOf) const {
        const DiagramRelation& relation = model_.relations[static_cast<std::size_t>(relationIndex)];
        SceneLine line;
        line.relation = relationIndex;
        line.pair = pair;
        line.primaryName = Q(model_.tables[static_cast<std::size_t>(relation.primaryTable)].name);
        line.foreignName = Q(model_.tables[static_cast<std::size_t>(relation.foreignTable)].name);
        line.primaryEnd = relation.primaryEnd;
        line.foreignEnd = relation.foreignEnd;
        line.arrowToPrimary = relation.arrowToPrimary;
        line.arrowToForeign = relation.arrowToForeign;
        line.continued =
            !nodeOf.contains(relation.primaryTable) || !nodeOf.contains(relation.foreignTable);
        for (const LayoutPoint& p : route) {
            line.path.push_back(QPointF(p.x, p.y) + offset);
        }
        if (line.path.size() < 4 || (line.path.size() - 1) % 3 != 0) {
            const QPointF from = Centre(layout, edge.tail, offset);
            const QPointF to = Centre(layout, edge.head, offset);
            line.path = {from, from + (to - from) / 3, from + (to - from) * 2 / 3, to};
        }
        (void)graph;
        // Graphviz may end a line (a loop back to its own table, for one)
        // a little off the box: carry it on to the outline.
        if (const auto box = RectOf(relation.primaryTable, nodeOf, layout, graph, offset)) {
            const QPointF onOutline = NearestOnOutline(*box, line.path.front());
            if (QLineF(onOutline, line.path.front()).length() > 0.25) {
                line.path.insert(line.path.begin(), {onOutline, onOutline, line.path.front()});
            }
        }
        if (const auto box = RectOf(relation.foreignTable, nodeOf, layout, graph, offset)) {
            const QPointF onOutline = NearestOnOutline(*box, line.path.back());
            if (QLineF(onOutline, line.path.back()).length() > 0.25) {
                const QPointF last = line.path.back();
                line.path.insert(line.path.end(), {last, onOutline, onOutline});
            }
        }
        // Marks at the ends drawn on tables; a "continued" label has none.
        const bool primaryIsBox = nodeOf.contains(relation.primaryTable);
        const bool foreignIsBox = nodeOf.contains(relation.foreignTable);
        if (primaryIsBox) {
            AddEnd(line, line.path.front(), Away(line.path, true), relation.primaryEnd,
                   relation.arrowToPrimary, SceneText::End::Primary);
        }
        if (foreignIsBox) {
            AddEnd(line, line.path.back(), Away(line.path, false), relation.foreignEnd,
                   relation.arrowToForeign, SceneText::End::Foreign);
        }
        if (!relation.legend.empty() && pair == 0) {
            QPainterPath curve(line.path.front());
            for (std::size_t i = 1; i + 2 < line.path.size(); i += 3) {
                curve.cubicTo(line.path[i], line.path[i + 1], line.path[i + 2]);
            }
            const QPointF middle = curve.pointAtPercent(0.5);
            SceneText legend;
            legend.role = SceneText::Role::Legend;
            legend.italic = true;
            legend.text = Q(relation.legend);
            const double width = measure_.Width(legend.text, kTextPoints, false, true);
            legend.baseline = QPointF(middle.x() - width / 2, middle.y() - 3);
            line.texts.push_back(legend);
        }
        return line;
    }

    // The box of a table laid out in this part, if it is.
    static std::optional<QRectF> RectOf(int table, const std::map<int, int>& nodeOf,
                                        const LayoutResult& layout, const LayoutGraph& graph,
                                        QPointF offset) {
        const auto found = nodeOf.find(table);
        if (found == nodeOf.end()) {
            return std::nullopt;
        }
        const auto node = static_cast<std::size_t>(found->second);
        const LayoutNode& size = graph.nodes[node];
        const QPointF centre = QPointF(layout.centres[node].x, layout.centres[node].y) + offset;
        return QRectF(centre.x() - size.width / 2, centre.y() - size.height / 2, size.width,
                      size.height);
    }

    static QPointF NearestOnOutline(const QRectF& rect, QPointF p) {
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
    static QPointF Away(const std::vector<QPointF>& path, bool atStart) {
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

    void AddEnd(SceneLine& line, QPointF end, QPointF along, EndMark mark, bool arrow,
                SceneText::End side) const {
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
        const double width = measure_.Width(text.text, text.points, text.bold);
        // Beside the line, clear of the box and of an arrow.
        QPointF centre = end + along * (kMarkOffset + (arrow ? kArrowLength : 0));
        centre += (normal.y() <= 0 ? normal : -normal) * 5.0;
        text.baseline = QPointF(centre.x() - width / 2, centre.y() + text.points * 0.3);
        line.texts.push_back(text);
    }

    // Moves each cascade legend along its line to the first place, from the
    // middle outwards, where it covers no table.
    void PlaceLegends(DiagramBlock& block) const {
        static constexpr std::array<double, 7> kAlong{0.5, 0.4, 0.6, 0.3, 0.7, 0.2, 0.8};
        // The end marks, which a legend must not cover either.
        std::vector<QRectF> marks;
        for (const SceneLine& line : block.lines) {
            for (const SceneText& text : line.texts) {
                if (text.role == SceneText::Role::Mark) {
                    marks.emplace_back(text.baseline.x(), text.baseline.y() - text.points * 0.75,
                                       measure_.Width(text.text, text.points, text.bold),
                                       text.points * 0.9);
                }
            }
        }
        for (SceneLine& line : block.lines) {
            for (SceneText& text : line.texts) {
                if (text.role != SceneText::Role::Legend) {
                    continue;
                }
                QPainterPath curve(line.path.front());
                for (std::size_t i = 1; i + 2 < line.path.size(); i += 3) {
                    curve.cubicTo(line.path[i], line.path[i + 1], line.path[i + 2]);
                }
                const double width = measure_.Width(text.text, text.points, false, true);
                const auto place = [&](double t) {
                    const QPointF at = curve.pointAtPercent(t);
                    return QPointF(at.x() - width / 2, at.y() - 3);
                };
                const auto clear = [&](QPointF baseline, bool ofBoxes) {
                    const QRectF rect(baseline.x() - 1, baseline.y() - text.points * 0.8, width + 2,
                                      text.points * 1.05);
                    const auto hits = [&rect](const QRectF& other) {
                        return other.intersects(rect);
                    };
                    return std::none_of(marks.begin(), marks.end(), hits) &&
                           (!ofBoxes ||
                            std::none_of(block.boxes.begin(), block.boxes.end(),
                                         [&](const SceneBox& box) { return hits(box.rect); }));
                };
                // Clear of boxes and marks if possible, else of the marks,
                // else a line higher than the middle.
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
        }
    }

    // Shelf packing of the parts onto pages, in order.
    void Pack() {
        const double width = options_.area.width();
        const double height =
            options_.onePage ? std::numeric_limits<double>::infinity() : options_.area.height();
        int page = 0;
        double x = 0;
        // The note on tables left out stands under the first page's heading.
        const double firstTop = kHeadingHeight + NoteHeight();
        double y = firstTop;
        double shelf = 0;
        const QSizeF area = PartArea() - QSizeF(0, NoteHeight());
        for (Part& part : parts_) {
            const QSizeF size = part.block.size;
            double scale = options_.maxScale;
            if (size.width() > 0 && size.height() > 0) {
                scale = std::min({options_.maxScale, area.width() / size.width(),
                                  area.height() / size.height()});
            }
            part.block.scale = std::max(scale, kMinScale);
            const double w = size.width() * part.block.scale;
            const double h = size.height() * part.block.scale;
            if (x > 0 && x + w > width) {
                x = 0;
                y += shelf + kBlockGap;
                shelf = 0;
            }
            if (y + h > height && (x > 0 || y > (page == 0 ? firstTop : kHeadingHeight))) {
                ++page;
                x = 0;
                y = kHeadingHeight;
                shelf = 0;
            }
            part.page = page;
            placed_.emplace_back(page, QPointF(x, y));
            x += w + kBlockGap;
            shelf = std::max(shelf, h);
        }
        pageCount_ = page + 1;
        EnlargeLoneGroups();
    }

    // The room the note on tables left out takes on the first page.
    double NoteHeight() const { return model_.tablesNotDrawn.empty() ? 0 : kNoteHeight; }

    // A whole group alone on a page is drawn as large as the page allows, up
    // to kSoloMaxScale, room kept for the note on the first page.
    void EnlargeLoneGroups() {
        if (options_.onePage) {
            return;
        }
        std::vector<int> blocksOnPage(static_cast<std::size_t>(pageCount_), 0);
        for (const auto& [page, topLeft] : placed_) {
            ++blocksOnPage[static_cast<std::size_t>(page)];
        }
        const QSizeF area = PartArea() - QSizeF(0, kNoteHeight);
        for (std::size_t i = 0; i < parts_.size(); ++i) {
            DiagramBlock& block = parts_[i].block;
            if (parts_[i].count > 1 ||
                blocksOnPage[static_cast<std::size_t>(placed_[i].first)] != 1 ||
                block.size.isEmpty()) {
                continue;
            }
            const double fit = std::min({kSoloMaxScale, area.width() / block.size.width(),
                                         area.height() / block.size.height()});
            block.scale = std::max(block.scale, fit);
        }
    }

    void LabelStubs() {
        std::map<int, const Part*> partOf;
        for (const Part& part : parts_) {
            for (int table : part.tables) {
                partOf[table] = &part;
            }
        }
        for (Part& part : parts_) {
            for (SceneStub& stub : part.block.stubs) {
                for (std::size_t i = 0; i < stub.rows.size(); ++i) {
                    SceneStub::Row& row = stub.rows[i];
                    const Part* other = partOf.at(row.table);
                    SceneText text;
                    text.role = SceneText::Role::Stub;
                    text.italic = true;
                    text.text = measure_.Elided(
                        StubText(row.name, options_.firstPage + other->page, other->index + 1),
                        stub.rect.width() - 2 * kStubPadX, kTextPoints);
                    const double rowTop = stub.rect.top() + stub.rowHeight * static_cast<double>(i);
                    text.baseline =
                        QPointF(stub.rect.left() + kStubPadX, Baseline(rowTop, kTextPoints));
                    row.text = text;
                }
            }
        }
    }

    void AddPartCaption(Part& part) const {
        SceneText caption =
            CaptionText(QStringLiteral("Part %1 of %2 of a group split across pages")
                            .arg(part.index + 1)
                            .arg(part.count),
                        0);
        for (SceneText& existing : part.block.captions) {
            existing.baseline.ry() += kCaptionHeight;
        }
        ShiftBlock(part.block, kCaptionHeight);
        part.block.captions.insert(part.block.captions.begin(), caption);
        part.block.size.rheight() += kCaptionHeight;
        part.block.size.rwidth() = std::max(part.block.size.width(), CaptionWidth(part.block));
    }

    static void ShiftBlock(DiagramBlock& block, double dy) {
        const QPointF d(0, dy);
        for (SceneBox& box : block.boxes) {
            box.rect.translate(d);
            for (SceneText& text : box.texts) {
                text.baseline += d;
            }
        }
        for (SceneLine& line : block.lines) {
            for (QPointF& p : line.path) {
                p += d;
            }
            for (QPolygonF& arrow : line.arrows) {
                arrow.translate(d);
            }
            for (SceneText& text : line.texts) {
                text.baseline += d;
            }
        }
        for (SceneStub& stub : block.stubs) {
            stub.rect.translate(d);
            for (SceneStub::Row& row : stub.rows) {
                row.text.baseline += d;
            }
        }
    }

    std::vector<DiagramPage> Pages() {
        std::vector<DiagramPage> pages(static_cast<std::size_t>(pageCount_));
        for (std::size_t p = 0; p < pages.size(); ++p) {
            SceneText heading;
            heading.role = SceneText::Role::Heading;
            heading.bold = true;
            heading.points = kHeadingPoints;
            heading.text = p == 0 ? QStringLiteral("Relationship diagram")
                                  : QStringLiteral("Relationship diagram (continued)");
            heading.baseline = QPointF(0, kHeadingPoints);
            pages[p].texts.push_back(heading);
        }
        for (std::size_t i = 0; i < parts_.size(); ++i) {
            const auto& [page, topLeft] = placed_[i];
            pages[static_cast<std::size_t>(page)].blocks.push_back(
                {std::move(parts_[i].block), topLeft});
        }
        const std::string note = model_.NotDrawnLine();
        if (!note.empty()) {
            SceneText line;
            line.role = SceneText::Role::Note;
            line.text = Q(note);
            line.baseline = QPointF(0, kHeadingHeight + kNoteHeight - 4);
            pages.front().texts.push_back(line);
        }
        return pages;
    }

    const DiagramModel& model_;
    PagePlanOptions options_;
    Clock::time_point started_;
    TextMeasure measure_;
    int maxRows_ = 0;
    std::vector<BoxPlan> boxes_;
    std::vector<std::vector<int>> adjacent_;
    std::vector<Part> parts_;
    std::vector<std::pair<int, QPointF>> placed_;
    int pageCount_ = 0;
};

}  // namespace

std::vector<DiagramPage> PlanDiagramPages(const DiagramModel& model,
                                          const PagePlanOptions& options) {
    if (model.Empty()) {
        return {};
    }
    return Planner(model, options).Plan();
}

}  // namespace ostrel::diagram
