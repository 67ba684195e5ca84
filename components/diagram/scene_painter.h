#pragma once

#include <QPainter>

#include "components/diagram/diagram_scene.h"

namespace ostrel::diagram {

// Draws one diagram page with the painter's current transformation taken as
// points, the drawing area's top-left corner at the origin.
void PaintDiagramPage(QPainter& painter, const DiagramPage& page);

// The bounding size of a page's contents, in points.
QSizeF PageExtent(const DiagramPage& page);

}  // namespace ostrel::diagram
