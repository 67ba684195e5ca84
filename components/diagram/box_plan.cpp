#include "components/diagram/box_plan.h"

#include <cstddef>

#include "components/diagram/diagram_pages.h"

namespace ostrel::diagram::page_plan {
namespace {

// Sizes in points.
constexpr double kPadX = 5;
constexpr double kKeyGutter = 11;
constexpr double kMinBoxWidth = 72;

}  // namespace

BoxPlan PlanBox(const DiagramTable& table, int maxRows, const TextMeasure& measure) {
    BoxPlan box;
    box.title = QString::fromStdString(table.name);
    const int shown = static_cast<int>(std::min<std::size_t>(
        table.fields.size(), static_cast<std::size_t>(std::max(maxRows - 1, 1))));
    double width = measure.Width(box.title, kTextPoints, true) + 2 * kPadX;
    if (table.linked) {
        width += measure.Width(QStringLiteral(" (linked)"), kTextPoints, false, true);
    }
    for (int i = 0; i < shown; ++i) {
        const DiagramField& field = table.fields[static_cast<std::size_t>(i)];
        box.rows.push_back(QString::fromStdString(field.name));
        box.key.push_back(field.primaryKey);
        width = std::max(width, measure.Width(box.rows.back(), kTextPoints, field.primaryKey) +
                                    kKeyGutter + 2 * kPadX);
    }
    if (static_cast<std::size_t>(shown) < table.fields.size()) {
        box.hiddenFields = static_cast<int>(table.fields.size()) - shown;
        box.rows.push_back(QStringLiteral("… %1 more fields").arg(box.hiddenFields));
        box.key.push_back(false);
    }
    // A point to spare, so that measuring again never cuts a name short.
    box.width = std::clamp(width + 1, kMinBoxWidth, kMaxBoxWidth);
    box.height = kRowHeight * static_cast<double>(box.rows.size() + 1);
    return box;
}

SceneBox DrawBox(int tableIndex, const DiagramTable& table, const BoxPlan& plan, QPointF centre,
                 const TextMeasure& measure) {
    SceneBox box;
    box.table = tableIndex;
    box.name = plan.title;
    box.linked = table.linked;
    box.rowHeight = kRowHeight;
    box.hiddenFields = plan.hiddenFields;
    box.rect =
        QRectF(centre.x() - plan.width / 2, centre.y() - plan.height / 2, plan.width, plan.height);
    SceneText title;
    title.role = SceneText::Role::Title;
    title.bold = true;
    title.text = plan.title;
    if (table.linked) {
        title.text =
            measure.Elided(plan.title,
                           plan.width - 2 * kPadX -
                               measure.Width(QStringLiteral(" (linked)"), kTextPoints, false, true),
                           kTextPoints, true);
    } else {
        title.text = measure.Elided(plan.title, plan.width - 2 * kPadX, kTextPoints, true);
    }
    title.baseline = QPointF(box.rect.left() + kPadX, Baseline(box.rect.top(), kTextPoints));
    box.texts.push_back(title);
    for (std::size_t i = 0; i < plan.rows.size(); ++i) {
        SceneText row;
        row.role = SceneText::Role::Field;
        row.bold = plan.key[i];
        row.text = measure.Elided(plan.rows[i], plan.width - 2 * kPadX - kKeyGutter, kTextPoints,
                                  row.bold);
        const double rowTop = box.rect.top() + kRowHeight * static_cast<double>(i + 1);
        row.baseline = QPointF(box.rect.left() + kPadX + kKeyGutter, Baseline(rowTop, kTextPoints));
        box.texts.push_back(row);
        if (plan.key[i]) {
            box.keyRows.push_back(static_cast<int>(i) + 1);
        }
    }
    return box;
}

}  // namespace ostrel::diagram::page_plan
