#include "components/diagram/graph_layout.h"

#include <graphviz/cgraph.h>
#include <graphviz/gvc.h>

#include <cstdio>
#include <memory>
#include <stdexcept>

namespace ostrel::diagram {
namespace {

constexpr double kPointsPerInch = 72.0;

// One Graphviz context for the program: creating it loads the plugin list.
GVC_t* Context() {
    struct Free {
        void operator()(GVC_t* context) const { gvFreeContext(context); }
    };
    static const std::unique_ptr<GVC_t, Free> context = [] {
        // Warnings (a record drawn smaller than Graphviz would size it, for
        // one) concern nothing the program shows; real errors still count.
        agseterr(AGERR);
        return std::unique_ptr<GVC_t, Free>(gvContext());
    }();
    if (!context) {
        throw std::runtime_error("the Graphviz library could not be started");
    }
    return context.get();
}

// Graphviz's C interface takes char* for names that it does not change.
char* Text(const char* text) {
    return const_cast<char*>(text);  // NOLINT(cppcoreguidelines-pro-type-const-cast)
}

void Set(void* object, const char* name, const std::string& value) {
    agsafeset(object, Text(name), Text(value.c_str()), Text(""));
}

std::string Number(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.4f", value);
    return buffer;
}

// The record label "<r0>|<r1>|...": empty fields of equal height, one per
// row, stacked top to bottom in a left-to-right graph.
std::string RecordLabel(int rows) {
    std::string label;
    for (int row = 0; row < rows; ++row) {
        if (row > 0) {
            label += '|';
        }
        label += "<r" + std::to_string(row) + '>';
    }
    return label;
}

struct GraphCloser {
    void operator()(Agraph_t* graph) const { agclose(graph); }
};

// A graph's layout, freed before the graph itself.
class LaidOutGraph {
  public:
    LaidOutGraph(Agraph_t* graph, const char* engine) : graph_(graph) {
        if (gvLayout(Context(), graph_, engine) != 0) {
            throw std::runtime_error("Graphviz could not lay out the diagram");
        }
    }
    ~LaidOutGraph() { gvFreeLayout(Context(), graph_); }
    LaidOutGraph(const LaidOutGraph&) = delete;
    LaidOutGraph& operator=(const LaidOutGraph&) = delete;

  private:
    Agraph_t* graph_;
};

void SetGraphAttributes(Agraph_t* graph, LayoutMethod method, double rankGap) {
    Set(graph, "rankdir", "LR");
    Set(graph, "nodesep", "0.3");
    Set(graph, "ranksep", Number(rankGap / kPointsPerInch));
    if (method == LayoutMethod::Ranked) {
        Set(graph, "splines", "spline");
        // Bound the ranking and crossing-reduction passes so that their work
        // grows with the graph's size, not without limit.
        Set(graph, "nslimit", "20");
        Set(graph, "nslimit1", "20");
        Set(graph, "mclimit", "0.5");
    } else {
        Set(graph, "splines", "line");
        Set(graph, "overlap", "false");
        Set(graph, "sep", "+12");
        Set(graph, "maxiter", "300");
        Set(graph, "epsilon", "0.001");
    }
}

std::vector<Agnode_t*> AddNodes(Agraph_t* raw, const LayoutGraph& graph) {
    std::vector<Agnode_t*> nodes;
    nodes.reserve(graph.nodes.size());
    for (std::size_t i = 0; i < graph.nodes.size(); ++i) {
        const LayoutNode& node = graph.nodes[i];
        const std::string name = "n" + std::to_string(i);
        Agnode_t* made = agnode(raw, Text(name.c_str()), 1);
        Set(made, "fixedsize", "true");
        Set(made, "width", Number(node.width / kPointsPerInch));
        Set(made, "height", Number(node.height / kPointsPerInch));
        if (node.rows > 0) {
            Set(made, "shape", "record");
            Set(made, "label", RecordLabel(node.rows));
        } else {
            Set(made, "shape", "box");
            Set(made, "label", "");
        }
        nodes.push_back(made);
    }
    return nodes;
}

// The edges, attached to their rows in a ranked layout.
std::vector<Agedge_t*> AddEdges(Agraph_t* raw, const LayoutGraph& graph,
                                const std::vector<Agnode_t*>& nodes, LayoutMethod method) {
    std::vector<Agedge_t*> edges;
    edges.reserve(graph.edges.size());
    for (std::size_t i = 0; i < graph.edges.size(); ++i) {
        const LayoutEdge& edge = graph.edges[i];
        const auto valid = [&](int node) {
            return node >= 0 && static_cast<std::size_t>(node) < nodes.size();
        };
        if (!valid(edge.tail) || !valid(edge.head)) {
            throw std::invalid_argument("an edge names a node the graph does not have");
        }
        const std::string name = "e" + std::to_string(i);
        Agedge_t* made = agedge(raw, nodes[static_cast<std::size_t>(edge.tail)],
                                nodes[static_cast<std::size_t>(edge.head)], Text(name.c_str()), 1);
        Set(made, "dir", "none");
        const auto port = [&](int node, int row) -> std::string {
            const int rows = graph.nodes[static_cast<std::size_t>(node)].rows;
            return row >= 0 && row < rows ? "r" + std::to_string(row) : std::string();
        };
        if (method == LayoutMethod::Ranked) {
            if (const std::string tail = port(edge.tail, edge.tailRow); !tail.empty()) {
                Set(made, "tailport", tail);
            }
            if (const std::string head = port(edge.head, edge.headRow); !head.empty()) {
                Set(made, "headport", head);
            }
        }
        edges.push_back(made);
    }
    return edges;
}

// The laid-out graph's size, node centres and edge routes, y turned to grow
// downwards.
void ReadPositions(Agraph_t* raw, const std::vector<Agnode_t*>& nodes,
                   const std::vector<Agedge_t*>& edges, LayoutResult& result) {
    const boxf box = GD_bb(raw);
    result.width = box.UR.x - box.LL.x;
    result.height = box.UR.y - box.LL.y;
    const auto flip = [&](pointf p) { return LayoutPoint{p.x - box.LL.x, box.UR.y - p.y}; };
    result.centres.reserve(nodes.size());
    for (Agnode_t* node : nodes) {
        result.centres.push_back(flip(ND_coord(node)));
    }
    result.paths.reserve(edges.size());
    for (Agedge_t* edge : edges) {
        std::vector<LayoutPoint> path;
        if (const splines* spline = ED_spl(edge); spline != nullptr) {
            for (int b = 0; b < spline->size; ++b) {
                const bezier& part = spline->list[b];
                // Later parts begin where the previous one ended.
                for (int p = path.empty() ? 0 : 1; p < part.size; ++p) {
                    path.push_back(flip(part.list[p]));
                }
            }
        }
        result.paths.push_back(std::move(path));
    }
}

}  // namespace

LayoutMethod MethodFor(const LayoutGraph& graph, const LayoutLimits& limits) {
    const auto elements = graph.nodes.size() + graph.edges.size();
    return elements > static_cast<std::size_t>(limits.rankedMaxElements) ? LayoutMethod::Straight
                                                                         : LayoutMethod::Ranked;
}

LayoutResult LayOutGraph(const LayoutGraph& graph, LayoutMethod method) {
    LayoutResult result;
    result.method = method;
    if (graph.nodes.empty()) {
        return result;
    }
    Context();
    Agraph_t* raw = agopen(Text("diagram"), Agdirected, nullptr);
    if (raw == nullptr) {
        throw std::runtime_error("Graphviz could not make a graph");
    }
    std::unique_ptr<Agraph_t, GraphCloser> owner(raw);
    SetGraphAttributes(raw, method, graph.rankGap);
    const std::vector<Agnode_t*> nodes = AddNodes(raw, graph);
    const std::vector<Agedge_t*> edges = AddEdges(raw, graph, nodes, method);
    const LaidOutGraph laidOut(raw, method == LayoutMethod::Ranked ? "dot" : "neato");
    ReadPositions(raw, nodes, edges, result);
    return result;
}

}  // namespace ostrel::diagram
