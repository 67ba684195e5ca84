#pragma once

#include <string>
#include <vector>

namespace ostrel::diagram {

// A graph to lay out, in points. A node with rows is a box of equal-height
// rows stacked top to bottom (a table: its title, then one row per field); an
// edge may start or end at a row, or at the node as a whole (row -1).
struct LayoutNode {
    double width = 0;
    double height = 0;
    int rows = 0;  // 0: a plain node without rows
};

struct LayoutEdge {
    int tail = 0;
    int head = 0;
    int tailRow = -1;
    int headRow = -1;
};

struct LayoutGraph {
    std::vector<LayoutNode> nodes;
    std::vector<LayoutEdge> edges;
    // Least room between columns of the ranked layout, in points.
    double rankGap = 58;
};

struct LayoutPoint {
    double x = 0;
    double y = 0;
};

// How a graph was laid out.
enum class LayoutMethod {
    Ranked,    // Graphviz dot: tables in columns, lines routed around boxes
    Straight,  // Graphviz neato, straight lines: for graphs too large to rank in time
};

// Positions with the origin at the top-left corner and y growing downwards.
struct LayoutResult {
    double width = 0;
    double height = 0;
    std::vector<LayoutPoint> centres;  // one per node
    // One per edge: a cubic Bezier chain (start, then three points per
    // segment) from the tail to the head, ending on the nodes' outlines.
    std::vector<std::vector<LayoutPoint>> paths;
    LayoutMethod method = LayoutMethod::Ranked;
};

// Limits that keep the layout of any graph within a bounded time.
struct LayoutLimits {
    // Graphs with more nodes plus edges than this are laid out by the
    // straight-line method.
    int rankedMaxElements = 2500;
};

// Lays out with Graphviz's library (no external program). Throws
// std::runtime_error when Graphviz fails.
LayoutResult LayOutGraph(const LayoutGraph& graph, LayoutMethod method);

// The method the limits allow for this graph.
LayoutMethod MethodFor(const LayoutGraph& graph, const LayoutLimits& limits);

}  // namespace ostrel::diagram
