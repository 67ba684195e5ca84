#include "components/diagram/scene_painter.h"

#include <QPainterPath>
#include <QPen>
#include <algorithm>

#include "components/diagram/scene_font.h"

namespace ostrel::diagram {
namespace {

void PaintText(QPainter& painter, const SceneText& text, const QColor& colour) {
    painter.save();
    painter.translate(text.baseline);
    painter.scale(text.points / kFontUnits, text.points / kFontUnits);
    painter.setFont(SceneFont(text.bold, text.italic));
    painter.setPen(colour);
    painter.drawText(QPointF(0, 0), text.text);
    painter.restore();
}

QColor TextColour(const SceneText& text) {
    switch (text.role) {
        case SceneText::Role::Legend:
        case SceneText::Role::Stub:
        case SceneText::Role::Note:
            return scene_colour::kLegend;
        case SceneText::Role::Mark:
            return scene_colour::kLine;
        default:
            return scene_colour::kInk;
    }
}

// A small key: a ring with a shaft and a bit, in a row's gutter.
void PaintKey(QPainter& painter, const QRectF& row) {
    const double cy = row.center().y();
    const double x = row.left() + 3.5;
    painter.save();
    QPen pen(scene_colour::kInk, 0.8);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QPointF(x + 1.6, cy), 1.6, 1.6);
    painter.drawLine(QPointF(x + 3.2, cy), QPointF(x + 7.5, cy));
    painter.drawLine(QPointF(x + 6.5, cy), QPointF(x + 6.5, cy + 1.8));
    painter.drawLine(QPointF(x + 5.0, cy), QPointF(x + 5.0, cy + 1.4));
    painter.restore();
}

void PaintBox(QPainter& painter, const SceneBox& box) {
    painter.save();
    const QRectF title(box.rect.left(), box.rect.top(), box.rect.width(), box.rowHeight);
    painter.fillRect(box.rect, Qt::white);
    painter.fillRect(title, scene_colour::kTitleFill);
    QPen frame(scene_colour::kInk, 0.8);
    if (box.linked) {
        frame.setStyle(Qt::DashLine);
    }
    painter.setPen(frame);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box.rect);
    painter.setPen(QPen(scene_colour::kInk, 0.5));
    painter.drawLine(title.bottomLeft(), title.bottomRight());
    for (int row : box.keyRows) {
        PaintKey(painter, QRectF(box.rect.left(), box.rect.top() + box.rowHeight * row,
                                 box.rect.width(), box.rowHeight));
    }
    painter.restore();
    for (const SceneText& text : box.texts) {
        PaintText(painter, text, scene_colour::kInk);
    }
    if (box.linked && !box.texts.empty()) {
        // " (linked)" after the title.
        SceneText linked = box.texts.front();
        linked.bold = false;
        linked.italic = true;
        linked.baseline.rx() +=
            QFontMetricsF(SceneFont(true, false)).horizontalAdvance(linked.text) * linked.points /
            kFontUnits;
        linked.text = QStringLiteral(" (linked)");
        PaintText(painter, linked, scene_colour::kLegend);
    }
}

QPainterPath PathOf(const std::vector<QPointF>& points) {
    QPainterPath path;
    if (points.empty()) {
        return path;
    }
    path.moveTo(points.front());
    for (std::size_t i = 1; i + 2 < points.size(); i += 3) {
        path.cubicTo(points[i], points[i + 1], points[i + 2]);
    }
    return path;
}

void PaintLine(QPainter& painter, const SceneLine& line) {
    painter.save();
    QPen pen(scene_colour::kLine, 0.9);
    if (line.primaryEnd == EndMark::None && line.foreignEnd == EndMark::None) {
        pen.setWidthF(0.7);
    }
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(PathOf(line.path));
    painter.setBrush(scene_colour::kLine);
    for (const QPolygonF& arrow : line.arrows) {
        painter.drawPolygon(arrow);
    }
    painter.restore();
}

// End marks and legends go over the boxes, so that no box hides them.
// Draws the texts of one role.
void PaintLineTexts(QPainter& painter, const SceneLine& line, SceneText::Role role) {
    for (const SceneText& text : line.texts) {
        if (text.role != role) {
            continue;
        }
        if (text.role == SceneText::Role::Legend) {
            // A white band keeps the legend readable across other lines.
            painter.save();
            const double width =
                QFontMetricsF(SceneFont(false, true)).horizontalAdvance(text.text) * text.points /
                kFontUnits;
            painter.fillRect(QRectF(text.baseline.x() - 1, text.baseline.y() - text.points * 0.8,
                                    width + 2, text.points * 1.05),
                             QColor(255, 255, 255, 220));
            painter.restore();
        }
        PaintText(painter, text, TextColour(text));
    }
}

void PaintStub(QPainter& painter, const SceneStub& stub) {
    painter.save();
    QPen pen(scene_colour::kLegend, 0.6);
    pen.setStyle(Qt::DotLine);
    painter.setPen(pen);
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(stub.rect, 3, 3);
    painter.restore();
    for (const SceneStub::Row& row : stub.rows) {
        PaintText(painter, row.text, scene_colour::kLegend);
    }
}

}  // namespace

void PaintDiagramPage(QPainter& painter, const DiagramPage& page) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    for (const SceneText& text : page.texts) {
        PaintText(painter, text, TextColour(text));
    }
    for (const PlacedBlock& placed : page.blocks) {
        const DiagramBlock& block = placed.block;
        painter.save();
        painter.translate(placed.topLeft);
        painter.scale(block.scale, block.scale);
        for (const SceneText& caption : block.captions) {
            PaintText(painter, caption, TextColour(caption));
        }
        // Lines first, so that boxes cover their ends cleanly.
        for (const SceneLine& line : block.lines) {
            PaintLine(painter, line);
        }
        for (const SceneStub& stub : block.stubs) {
            PaintStub(painter, stub);
        }
        for (const SceneBox& box : block.boxes) {
            PaintBox(painter, box);
        }
        // Legends, then the end marks over them.
        for (const SceneText::Role role : {SceneText::Role::Legend, SceneText::Role::Mark}) {
            for (const SceneLine& line : block.lines) {
                PaintLineTexts(painter, line, role);
            }
        }
        painter.restore();
    }
    painter.restore();
}

QSizeF PageExtent(const DiagramPage& page) {
    double width = 0;
    double height = 0;
    for (const SceneText& text : page.texts) {
        height = std::max(height, text.baseline.y() + text.points * 0.4);
        width = std::max(
            width,
            text.baseline.x() +
                QFontMetricsF(SceneFont(text.bold, text.italic)).horizontalAdvance(text.text) *
                    text.points / kFontUnits);
    }
    for (const PlacedBlock& placed : page.blocks) {
        width =
            std::max(width, placed.topLeft.x() + placed.block.size.width() * placed.block.scale);
        height =
            std::max(height, placed.topLeft.y() + placed.block.size.height() * placed.block.scale);
    }
    return {width, height};
}

}  // namespace ostrel::diagram
