#pragma once

#include <QSizeF>
#include <QString>
#include <cstddef>
#include <string>
#include <vector>

#include "components/diagram/box_plan.h"
#include "components/diagram/diagram_model.h"
#include "components/diagram/diagram_pages.h"
#include "components/diagram/scene_font.h"

// What the steps of planning diagram pages share: the sizes of the drawing
// and the model, options, boxes and text measure of the plan being made.
namespace ostrel::diagram::page_plan {

// Sizes in points.
inline constexpr double kStubPadX = 4;
inline constexpr double kCaptionHeight = 14;
inline constexpr double kHeadingHeight = 24;

inline QString ToQString(const std::string& text) {
    return QString::fromStdString(text);
}

struct PlanContext {
    const DiagramModel& model;
    const PagePlanOptions& options;
    const TextMeasure& measure;
    // One per table of the model.
    const std::vector<BoxPlan>& boxes;

    const BoxPlan& Box(int table) const { return boxes[static_cast<std::size_t>(table)]; }
    const DiagramTable& Table(int table) const {
        return model.tables[static_cast<std::size_t>(table)];
    }
    const DiagramRelation& Relation(int relation) const {
        return model.relations[static_cast<std::size_t>(relation)];
    }

    // The room a part may take on a page: all of it for an image, else what
    // the page's heading leaves.
    QSizeF PartArea() const {
        if (options.onePage) {
            return options.area;
        }
        return {options.area.width(), options.area.height() - kHeadingHeight};
    }

    // The text of a "continued" label's row for a table drawn elsewhere.
    QString ContinuedText(const QString& name, int page, int partNumber) const {
        if (options.onePage) {
            return QStringLiteral("continued in part %1: ").arg(partNumber) + name;
        }
        return QStringLiteral("continued on page %1: ").arg(page) + name;
    }
};

}  // namespace ostrel::diagram::page_plan
