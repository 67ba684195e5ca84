#include "ui/app/app_icon.h"

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QRectF>

namespace ostrel::ui {

void DrawAppIcon(QPainter& painter, const QRectF& area) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(area.topLeft());
    painter.scale(area.width() / 64.0, area.height() / 64.0);

    // Database drum behind the page.
    const QColor drum(0x2f, 0x6d, 0xb5);
    painter.setPen(Qt::NoPen);
    painter.setBrush(drum);
    painter.drawRect(QRectF(4, 12, 30, 40));
    painter.setBrush(drum.darker(125));
    painter.drawEllipse(QRectF(4, 46, 30, 12));
    painter.setBrush(drum.lighter(140));
    painter.drawEllipse(QRectF(4, 6, 30, 12));

    // The report page with a folded corner.
    QPainterPath page;
    page.moveTo(22, 14);
    page.lineTo(50, 14);
    page.lineTo(60, 24);
    page.lineTo(60, 62);
    page.lineTo(22, 62);
    page.closeSubpath();
    painter.setBrush(Qt::white);
    painter.setPen(QPen(QColor(0x33, 0x33, 0x33), 1.5));
    painter.drawPath(page);
    painter.setBrush(QColor(0xdd, 0xdd, 0xdd));
    painter.drawPolygon(QPolygonF({QPointF(50, 14), QPointF(50, 24), QPointF(60, 24)}));

    // A small two-column property table on the page.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xe0, 0x7a, 0x1f));
    painter.drawRect(QRectF(26, 28, 30, 5));
    painter.setPen(QPen(QColor(0x55, 0x55, 0x55), 1.2));
    for (int row = 0; row < 5; ++row) {
        const double y = 37 + row * 5;
        painter.drawLine(QPointF(26, y), QPointF(36, y));
        painter.drawLine(QPointF(39, y), QPointF(56 - (row % 2) * 6, y));
    }
    painter.restore();
}

QImage RenderAppIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    DrawAppIcon(painter, QRectF(0, 0, size, size));
    painter.end();
    return image;
}

QIcon AppIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128}) {
        icon.addPixmap(QPixmap::fromImage(RenderAppIcon(size)));
    }
    return icon;
}

}  // namespace ostrel::ui
