#pragma once

#include <QWidget>

namespace ostrel::settings {

// Window designs give sizes and positions in twips (1/1440 inch); this is the
// number of pixels they take on the widget's screen.
inline int TwipsToPixels(const QWidget& widget, int twips) {
    return twips * widget.logicalDpiX() / 1440;
}

}  // namespace ostrel::settings
