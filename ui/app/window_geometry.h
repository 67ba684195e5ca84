#pragma once

#include <QString>

class QWidget;

namespace ostrel::ui {

// Top-level windows open within the available area of their screen: a
// window larger than that area is made smaller (never below its minimum), and
// one that reaches past an edge is moved in.
void FitToScreen(QWidget& window);

// A window's size and place, remembered in the program's INI file under a
// group of its own. Restore returns false when nothing usable was stored.
bool RestoreWindowGeometry(QWidget& window, const QString& iniPath, const QString& group);
void SaveWindowGeometry(const QWidget& window, const QString& iniPath, const QString& group);

}  // namespace ostrel::ui
