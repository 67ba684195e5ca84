#include "components/diagram/part_drawing.h"

#include <algorithm>
#include <cstddef>

#include "components/diagram/relation_lines.h"

namespace ostrel::diagram::page_plan {
namespace {

SceneText CaptionText(const QString& text, double top) {
    SceneText caption;
    caption.text = text;
    caption.italic = true;
    caption.role = SceneText::Role::Note;
    caption.baseline = QPointF(0, Baseline(top, kTextPoints));
    return caption;
}

double CaptionWidth(const DiagramBlock& block, const TextMeasure& measure) {
    double width = 0;
    for (const SceneText& caption : block.captions) {
        width = std::max(width, measure.Width(caption.text, caption.points, false, true));
    }
    return width;
}

// The captions on how the part was drawn; returns the height they take.
double AddLayoutCaptions(DiagramBlock& block, const PartGraph& part, LayoutMethod method,
                         bool late) {
    double top = 0;
    if (method == LayoutMethod::Straight) {
        block.captions.push_back(CaptionText(
            late ? QStringLiteral("Drawn with straight lines: the time for laying out the "
                                  "diagram ran out.")
                 : QStringLiteral("Drawn with straight lines: too many tables and lines to "
                                  "route in good time."),
            top));
        top += kCaptionHeight;
    }
    if (part.leftOut > 0) {
        block.captions.push_back(CaptionText(
            QStringLiteral("%1 lines to tables on other pages are not shown.").arg(part.leftOut),
            top));
        top += kCaptionHeight;
    }
    return top;
}

SceneStub DrawStub(const PlanContext& context, const PartGraph::Stub& stubNode,
                   const PartGraph& part, const LayoutResult& layout, QPointF offset) {
    const auto node = static_cast<std::size_t>(stubNode.node);
    const LayoutPoint centre = layout.centres[node];
    const LayoutNode& size = part.graph.nodes[node];
    SceneStub stub;
    stub.rect =
        QRectF(centre.x - size.width / 2, centre.y - size.height / 2, size.width, size.height)
            .translated(offset);
    stub.rowHeight = kRowHeight;
    for (int table : stubNode.tables) {
        stub.rows.push_back({table, ToQString(context.Table(table).name), {}});
    }
    return stub;
}

void ShiftBlock(DiagramBlock& block, double dy) {
    const QPointF d(0, dy);
    for (SceneBox& box : block.boxes) {
        box.rect.translate(d);
        for (SceneText& text : box.texts) {
            text.baseline += d;
        }
    }
    for (SceneLine& line : block.lines) {
        for (QPointF& p : line.path) {
            p += d;
        }
        for (QPolygonF& arrow : line.arrows) {
            arrow.translate(d);
        }
        for (SceneText& text : line.texts) {
            text.baseline += d;
        }
    }
    for (SceneStub& stub : block.stubs) {
        stub.rect.translate(d);
        for (SceneStub::Row& row : stub.rows) {
            row.text.baseline += d;
        }
    }
}

}  // namespace

DiagramBlock DrawPart(const PlanContext& context, const std::vector<int>& tables,
                      const PartGraph& part, const LayoutResult& layout, LayoutMethod method,
                      bool late) {
    DiagramBlock block;
    const double top = AddLayoutCaptions(block, part, method, late);
    const QPointF offset(0, top);
    for (std::size_t i = 0; i < tables.size(); ++i) {
        const LayoutPoint centre = layout.centres[i];
        const int table = tables[i];
        block.boxes.push_back(DrawBox(table, context.Table(table), context.Box(table),
                                      QPointF(centre.x, centre.y) + offset, context.measure));
    }
    for (const auto& [key, stubNode] : part.stubs) {
        block.stubs.push_back(DrawStub(context, stubNode, part, layout, offset));
    }
    for (std::size_t e = 0; e < part.graph.edges.size(); ++e) {
        block.lines.push_back(DrawLine(context, part, e, layout, offset));
    }
    PlaceLegends(block, context.measure);
    block.size =
        QSizeF(std::max(layout.width, CaptionWidth(block, context.measure)), layout.height + top);
    return block;
}

void AddPartCaption(DiagramBlock& block, int index, int count, const TextMeasure& measure) {
    SceneText caption = CaptionText(
        QStringLiteral("Part %1 of %2 of a group split across pages").arg(index + 1).arg(count), 0);
    for (SceneText& existing : block.captions) {
        existing.baseline.ry() += kCaptionHeight;
    }
    ShiftBlock(block, kCaptionHeight);
    block.captions.insert(block.captions.begin(), caption);
    block.size.rheight() += kCaptionHeight;
    block.size.rwidth() = std::max(block.size.width(), CaptionWidth(block, measure));
}

}  // namespace ostrel::diagram::page_plan
