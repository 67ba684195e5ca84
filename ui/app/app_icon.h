#pragma once

#include <QIcon>
#include <QImage>

class QPainter;
class QRectF;

namespace ostrel::ui {

// The program's picture: a report page with a table on it, drawn in code so
// that every size is sharp.
void DrawAppIcon(QPainter& painter, const QRectF& area);
QImage RenderAppIcon(int size);
QIcon AppIcon();

}  // namespace ostrel::ui
