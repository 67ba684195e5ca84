#pragma once

#include <QString>
#include <vector>

#include "components/diagram/diagram_scene.h"
#include "components/diagram/graph_layout.h"
#include "components/diagram/part_graph.h"
#include "components/diagram/plan_context.h"

namespace ostrel::diagram::page_plan {

// Turns the layout of a part's graph into its block: the captions saying
// how it was drawn, the tables' boxes, the "continued" labels (their rows
// still without text) and the lines.
DiagramBlock DrawPart(const PlanContext& context, const std::vector<int>& tables,
                      const PartGraph& part, const LayoutResult& layout, LayoutMethod method,
                      bool late);

// Puts "Part N of M" above a part of a split group, moving the rest down.
void AddPartCaption(DiagramBlock& block, int index, int count, const TextMeasure& measure);

}  // namespace ostrel::diagram::page_plan
