#include "ui/app/window_geometry.h"

#include <QScreen>
#include <QSettings>
#include <QWidget>

#include <algorithm>

namespace ostrel::ui {
namespace {

constexpr const char* kGeometryKey = "Geometry";

// Title bar and borders the window manager adds; estimated until the window
// has been shown.
QSize FrameOf(const QWidget& window) {
    const QSize frame = window.frameGeometry().size() - window.size();
    if (window.isVisible() && frame.width() > 0 && frame.height() > 0) {
        return frame;
    }
    return {16, 40};
}

}  // namespace

void FitToScreen(QWidget& window) {
    const QScreen* screen = window.screen();
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->availableGeometry();
    const QSize frame = FrameOf(window);
    const QSize room = (area.size() - frame).expandedTo(window.minimumSize());
    const QSize size = window.size().boundedTo(room);
    if (size != window.size()) {
        window.resize(size);
    }
    const QSize outer = size + frame;
    const QPoint at = window.pos();
    const int x =
        std::clamp(at.x(), area.left(), std::max(area.left(), area.right() + 1 - outer.width()));
    const int y =
        std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() + 1 - outer.height()));
    if (QPoint(x, y) != at) {
        window.move(x, y);
    }
}

bool RestoreWindowGeometry(QWidget& window, const QString& iniPath, const QString& group) {
    const QSettings ini(iniPath, QSettings::IniFormat);
    const QByteArray stored =
        ini.value(group + QLatin1Char('/') + QLatin1String(kGeometryKey)).toByteArray();
    return !stored.isEmpty() && window.restoreGeometry(stored);
}

void SaveWindowGeometry(const QWidget& window, const QString& iniPath, const QString& group) {
    QSettings ini(iniPath, QSettings::IniFormat);
    ini.setValue(group + QLatin1Char('/') + QLatin1String(kGeometryKey), window.saveGeometry());
    ini.sync();
}

}  // namespace ostrel::ui
