#include "components/diagram/diagram_pages.h"

#include <algorithm>
#include <deque>
#include <limits>
#include <map>
#include <utility>

#include "components/diagram/box_plan.h"
#include "components/diagram/page_packing.h"
#include "components/diagram/part_drawing.h"
#include "components/diagram/part_graph.h"
#include "components/diagram/plan_context.h"
#include "components/diagram/scene_font.h"

namespace ostrel::diagram {
namespace {

using page_plan::BoxPlan;
using page_plan::kCaptionHeight;
using page_plan::kHeadingHeight;
using page_plan::kRowHeight;
using page_plan::Part;
using page_plan::PlanContext;
using Clock = std::chrono::steady_clock;

// How much more room than the boxes themselves a ranked layout takes; used
// to decide how many tables to try on one page.
constexpr double kSpread = 3.5;
constexpr int kMaxTablesPerPart = 60;

// Splits each connected group into parts that fit a page, lays each part
// out, and hands the parts to the packing onto pages.
class Planner {
  public:
    Planner(const DiagramModel& model, const PagePlanOptions& options)
        : options_(options),
          started_(Clock::now()),
          context_{model, options_, measure_, boxes_},
          adjacent_(model.tables.size()) {
        int maxRows = std::numeric_limits<int>::max();
        if (!options_.onePage) {
            const double usable = options_.area.height() - kHeadingHeight - kCaptionHeight;
            maxRows = std::max(3, static_cast<int>(usable / kMinScale / kRowHeight) - 2);
        }
        for (const DiagramTable& table : model.tables) {
            boxes_.push_back(page_plan::PlanBox(table, maxRows, measure_));
        }
        for (const DiagramRelation& relation : model.relations) {
            adjacent_[static_cast<std::size_t>(relation.primaryTable)].push_back(
                relation.foreignTable);
            adjacent_[static_cast<std::size_t>(relation.foreignTable)].push_back(
                relation.primaryTable);
        }
    }

    std::vector<DiagramPage> Plan() {
        const auto groups = context_.model.ConnectedGroups();
        std::vector<Part> parts;
        for (std::size_t g = 0; g < groups.size(); ++g) {
            PlanGroup(groups[g], static_cast<int>(g), parts);
        }
        return page_plan::PackPages(context_, std::move(parts));
    }

  private:
    double BoxArea(int table) const {
        const BoxPlan& box = context_.Box(table);
        return box.width * box.height;
    }

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

    // The area of boxes a page is taken to hold.
    double Capacity() const {
        const double height =
            options_.onePage ? options_.area.height() : options_.area.height() - kHeadingHeight;
        return options_.area.width() * height / (kMinScale * kMinScale) / kSpread;
    }

    // The whole group at once when it may fit a page; else runs of its
    // tables in breadth-first order, each up to a page's capacity.
    std::vector<std::vector<int>> Chunks(const std::vector<int>& group) const {
        double area = 0;
        for (int table : group) {
            area += BoxArea(table);
        }
        if (area <= Capacity() && static_cast<int>(group.size()) <= kMaxTablesPerPart) {
            return {group};
        }
        std::vector<std::vector<int>> chunks;
        std::vector<int> chunk;
        double chunkArea = 0;
        for (int table : BreadthFirst(group)) {
            const double boxArea = BoxArea(table);
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
        return chunks;
    }

    void PlanGroup(const std::vector<int>& group, int groupIndex, std::vector<Part>& allParts) {
        std::vector<Part> parts;
        for (std::vector<int>& chunk : Chunks(group)) {
            LayOutFitting(std::move(chunk), groupIndex, parts);
        }
        for (std::size_t i = 0; i < parts.size(); ++i) {
            parts[i].index = static_cast<int>(i);
            parts[i].count = static_cast<int>(parts.size());
            if (parts.size() > 1) {
                page_plan::AddPartCaption(parts[i].block, parts[i].index, parts[i].count, measure_);
            }
        }
        for (Part& part : parts) {
            allParts.push_back(std::move(part));
        }
    }

    // Lays out the tables as one part, halving the part until it fits a page.
    void LayOutFitting(std::vector<int> tables, int groupIndex, std::vector<Part>& parts) {
        Part part;
        part.tables = std::move(tables);
        part.group = groupIndex;
        part.block = LayOutPart(part.tables, true);
        // Room is kept for the caption of a part of a split group.
        const QSizeF area = context_.PartArea() - QSizeF(0, kCaptionHeight);
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
        part.block = LayOutPart(part.tables, false);
        parts.push_back(std::move(part));
    }

    // Lays out one part's graph, by the straight-line method once the time
    // for layout has run out, and draws it.
    DiagramBlock LayOutPart(const std::vector<int>& tables, bool withStubs) {
        const page_plan::PartGraph part = page_plan::BuildPartGraph(context_, tables, withStubs);
        LayoutMethod method = MethodFor(part.graph, options_.limits);
        const bool late = Clock::now() - started_ > options_.budget;
        if (late) {
            method = LayoutMethod::Straight;
        }
        const LayoutResult layout = LayOutGraph(part.graph, method);
        return page_plan::DrawPart(context_, tables, part, layout, method, late);
    }

    PagePlanOptions options_;
    Clock::time_point started_;
    TextMeasure measure_;
    std::vector<BoxPlan> boxes_;
    PlanContext context_;
    std::vector<std::vector<int>> adjacent_;
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
