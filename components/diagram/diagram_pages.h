#pragma once

#include <QSizeF>
#include <chrono>
#include <vector>

#include "components/diagram/diagram_model.h"
#include "components/diagram/diagram_scene.h"
#include "components/diagram/graph_layout.h"

namespace ostrel::diagram {

// The nominal size of every text of the diagram, and the smallest scale a
// drawing may be reduced to: no text is drawn smaller than 6 points.
inline constexpr double kTextPoints = 8;
inline constexpr double kMinScale = 0.75;

struct PagePlanOptions {
    // The drawing area of one page, in points.
    QSizeF area{451, 697};
    // The number the first diagram page has in its document, for the
    // "continued" labels.
    int firstPage = 1;
    // Pack every block onto one page of unlimited height (an image file).
    bool onePage = false;
    // Drawings are not enlarged beyond this.
    double maxScale = 1;
    LayoutLimits limits;
    // After this much time spent on layout, the remaining parts use the
    // straight-line method.
    std::chrono::milliseconds budget{8000};
};

// Lays out every connected group of the model with Graphviz, at the largest
// scale up to maxScale that fits a page and not below kMinScale; a group that
// does not fit is split into parts, each on a page, whose lines to tables on
// other pages end at "continued" labels. Needs a QGuiApplication (fonts).
std::vector<DiagramPage> PlanDiagramPages(const DiagramModel& model,
                                          const PagePlanOptions& options);

}  // namespace ostrel::diagram
