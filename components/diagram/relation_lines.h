#pragma once

#include <QPointF>
#include <cstddef>

#include "components/diagram/diagram_scene.h"
#include "components/diagram/graph_layout.h"
#include "components/diagram/part_graph.h"
#include "components/diagram/plan_context.h"

namespace ostrel::diagram::page_plan {

// The line of one edge of a part's graph as laid out, moved by offset: its
// route carried on to the boxes' outlines, its end marks and arrows, and on
// the first field pair the cascade legend at its middle.
SceneLine DrawLine(const PlanContext& context, const PartGraph& part, std::size_t edge,
                   const LayoutResult& layout, QPointF offset);

// Moves each cascade legend along its line to the first place, from the
// middle outwards, where it covers no table.
void PlaceLegends(DiagramBlock& block, const TextMeasure& measure);

}  // namespace ostrel::diagram::page_plan
