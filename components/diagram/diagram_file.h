#pragma once

#include <QPageSize>
#include <QRectF>
#include <string>
#include <vector>

#include "components/diagram/diagram_format.h"
#include "components/diagram/diagram_model.h"

namespace ostrel::diagram {

// Where a diagram printed on paper goes: the sheet and the drawing area on
// it, in points from the sheet's top-left corner.
struct DiagramPaper {
    QPageSize size{QPageSize::A4};
    QRectF body{72, 72, 451.3, 697.9};
};

// Writes the diagram of the model to path in the format its name asks for
// (DiagramFormatOf): SVG and PNG as one picture of every group, PDF as pages of the paper. The
// file appears complete or not at all. Throws std::runtime_error with a
// message for the user. Needs a QGuiApplication.
void WriteDiagramFile(const DiagramModel& model, const std::string& path,
                      const DiagramPaper& paper);

// The diagram of the model as one SVG picture of every group, as an SVG file
// holds it. Throws std::runtime_error when there is nothing to draw. Needs a
// QGuiApplication.
std::string DiagramSvgText(const DiagramModel& model);

// The diagram as the pages of a PDF of it on A4 (a large diagram is split
// there), each page one SVG picture sized to its contents, in order. Throws
// std::runtime_error when there is nothing to draw. Needs a QGuiApplication.
std::vector<std::string> DiagramSvgPages(const DiagramModel& model);

}  // namespace ostrel::diagram
