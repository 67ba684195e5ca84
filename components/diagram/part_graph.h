#pragma once

#include <map>
#include <utility>
#include <vector>

#include "components/diagram/graph_layout.h"
#include "components/diagram/plan_context.h"

namespace ostrel::diagram::page_plan {

// The Graphviz graph of one part of a group: a node per table of the part,
// and a "continued" label node per table of the part and side (the table
// outside the part primary or foreign) with a row per table outside it
// that a line leads to.
struct PartGraph {
    // The relationship and field pair each edge of the graph draws.
    struct Edge {
        int relation = 0;
        int pair = 0;
    };
    struct Stub {
        std::vector<int> tables;  // the tables outside, one per row
        int node = -1;
    };
    // The key of a label: the table of the part, and whether the tables
    // outside are on the primary side.
    using StubKey = std::pair<int, bool>;

    LayoutGraph graph;
    std::map<int, int> nodeOf;  // table -> node
    std::vector<Edge> edges;    // one per edge of graph
    std::map<StubKey, Stub> stubs;
    // Lines to tables outside the part that are not drawn (no labels).
    int leftOut = 0;

    bool Contains(int table) const { return nodeOf.contains(table); }
};

// The graph of the tables as one part; without stubs, lines to tables
// outside it are only counted.
PartGraph BuildPartGraph(const PlanContext& context, const std::vector<int>& tables,
                         bool withStubs);

}  // namespace ostrel::diagram::page_plan
