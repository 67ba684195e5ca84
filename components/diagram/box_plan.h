#pragma once

#include <QPointF>
#include <QString>
#include <algorithm>
#include <vector>

#include "components/diagram/diagram_model.h"
#include "components/diagram/diagram_scene.h"
#include "components/diagram/scene_font.h"

namespace ostrel::diagram::page_plan {

// The height of a row of a table's box, or of a "continued" label, and the
// widest a box is drawn, in points.
inline constexpr double kRowHeight = 12;
inline constexpr double kMaxBoxWidth = 230;

// The baseline of text of this size in a row whose top is rowTop.
inline double Baseline(double rowTop, double points) {
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

// Measures the box of a table that may show maxRows rows with its title: the
// fields beyond that are counted in a last row.
BoxPlan PlanBox(const DiagramTable& table, int maxRows, const TextMeasure& measure);

// The box drawn around centre, names cut to fit it.
SceneBox DrawBox(int tableIndex, const DiagramTable& table, const BoxPlan& plan, QPointF centre,
                 const TextMeasure& measure);

}  // namespace ostrel::diagram::page_plan
