#include "components/diagram/part_graph.h"

#include <algorithm>
#include <cstddef>

namespace ostrel::diagram::page_plan {
namespace {

// A line of the part before its edge is made: one field pair of a
// relationship, and where the other end is when it is outside the part.
struct PendingLine {
    int relation;
    int pair;
    int outside;  // -1: both tables are in the part
    bool outsideIsPrimary;
    PartGraph::StubKey stubKey;
};

void AddTableNodes(const PlanContext& context, const std::vector<int>& tables, PartGraph& part) {
    for (int table : tables) {
        part.nodeOf[table] = static_cast<int>(part.graph.nodes.size());
        const BoxPlan& box = context.Box(table);
        part.graph.nodes.push_back({box.width, box.height, static_cast<int>(box.rows.size()) + 1});
    }
}

// The lines of the relationships that touch the part, one per field pair,
// with a label row for each table outside the part a line leads to.
std::vector<PendingLine> CollectLines(const PlanContext& context, bool withStubs, PartGraph& part) {
    std::vector<PendingLine> pending;
    for (std::size_t r = 0; r < context.model.relations.size(); ++r) {
        const DiagramRelation& relation = context.model.relations[r];
        const bool hasPrimary = part.Contains(relation.primaryTable);
        const bool hasForeign = part.Contains(relation.foreignTable);
        if (!hasPrimary && !hasForeign) {
            continue;
        }
        if (!(hasPrimary && hasForeign) && !withStubs) {
            ++part.leftOut;
            continue;
        }
        PendingLine entry{static_cast<int>(r), 0, -1, false, {0, false}};
        if (!hasPrimary || !hasForeign) {
            entry.outsideIsPrimary = !hasPrimary;
            entry.outside = hasPrimary ? relation.foreignTable : relation.primaryTable;
            entry.stubKey = {hasPrimary ? relation.primaryTable : relation.foreignTable,
                             entry.outsideIsPrimary};
            std::vector<int>& rows = part.stubs[entry.stubKey].tables;
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
    return pending;
}

// A node per label, as wide as its longest row may be once the page numbers
// are known.
void AddStubNodes(const PlanContext& context, PartGraph& part) {
    const QString stubSample = context.ContinuedText(QString(), 9999, 99);
    for (auto& [key, stub] : part.stubs) {
        double width = 0;
        for (int table : stub.tables) {
            width = std::max(
                width, context.measure.Width(stubSample + ToQString(context.Table(table).name),
                                             kTextPoints, false, true));
        }
        stub.node = static_cast<int>(part.graph.nodes.size());
        part.graph.nodes.push_back({std::min(width + 2 * kStubPadX, kMaxBoxWidth + 60),
                                    kRowHeight * static_cast<double>(stub.tables.size()),
                                    static_cast<int>(stub.tables.size())});
    }
}

// The edge of a line, from the primary side's row to the foreign side's.
LayoutEdge EdgeOf(const PlanContext& context, const PartGraph& part, const PendingLine& entry) {
    const DiagramRelation& relation = context.Relation(entry.relation);
    const auto p = static_cast<std::size_t>(entry.pair);
    const auto fieldRow = [&](int table, bool primary) {
        if (p >= relation.fields.size()) {
            return -1;
        }
        return context.Box(table).RowOfField(primary ? relation.fields[p].primaryRow
                                                     : relation.fields[p].foreignRow);
    };
    const auto stubRow = [&](const PartGraph::Stub& stub) {
        return static_cast<int>(std::find(stub.tables.begin(), stub.tables.end(), entry.outside) -
                                stub.tables.begin());
    };
    if (entry.outside >= 0 && entry.outsideIsPrimary) {
        const PartGraph::Stub& stub = part.stubs.at(entry.stubKey);
        return {stub.node, part.nodeOf.at(relation.foreignTable), stubRow(stub),
                fieldRow(relation.foreignTable, false)};
    }
    if (entry.outside >= 0) {
        const PartGraph::Stub& stub = part.stubs.at(entry.stubKey);
        return {part.nodeOf.at(relation.primaryTable), stub.node,
                fieldRow(relation.primaryTable, true), stubRow(stub)};
    }
    return {part.nodeOf.at(relation.primaryTable), part.nodeOf.at(relation.foreignTable),
            fieldRow(relation.primaryTable, true), fieldRow(relation.foreignTable, false)};
}

// Room between columns for the widest cascade legend on a line; not for a
// part of a split group, which needs the room for its tables (its legends
// then find what room there is).
void WidenForLegends(const PlanContext& context, PartGraph& part) {
    if (!part.stubs.empty()) {
        return;
    }
    for (const PartGraph::Edge& edge : part.edges) {
        const std::string& legend = context.Relation(edge.relation).legend;
        if (!legend.empty()) {
            part.graph.rankGap =
                std::clamp(context.measure.Width(ToQString(legend), kTextPoints, false, true) + 16,
                           part.graph.rankGap, 140.0);
        }
    }
}

}  // namespace

PartGraph BuildPartGraph(const PlanContext& context, const std::vector<int>& tables,
                         bool withStubs) {
    PartGraph part;
    AddTableNodes(context, tables, part);
    const std::vector<PendingLine> pending = CollectLines(context, withStubs, part);
    AddStubNodes(context, part);
    for (const PendingLine& entry : pending) {
        part.graph.edges.push_back(EdgeOf(context, part, entry));
        part.edges.push_back({entry.relation, entry.pair});
    }
    WidenForLegends(context, part);
    return part;
}

}  // namespace ostrel::diagram::page_plan
