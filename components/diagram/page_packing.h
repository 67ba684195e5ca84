#pragma once

#include <vector>

#include "components/diagram/diagram_scene.h"
#include "components/diagram/plan_context.h"

namespace ostrel::diagram::page_plan {

// One part of a group: the tables laid out together, and its drawing.
struct Part {
    std::vector<int> tables;
    int group = 0;
    int index = 0;  // within the group
    int count = 1;  // parts in the group
    DiagramBlock block;
    int page = 0;  // 0-based page of the plan
};

// Scales the parts to the pages and packs them on in order, a whole group
// alone on a page as large as the page allows; then writes the "continued"
// labels' page numbers and the pages' headings and note.
std::vector<DiagramPage> PackPages(const PlanContext& context, std::vector<Part> parts);

}  // namespace ostrel::diagram::page_plan
