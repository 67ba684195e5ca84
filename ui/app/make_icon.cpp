// Renders the program's icon as PNG files for the desktop's icon theme:
//   ostrel2_icon <folder>   writes <folder>/<size>/ostrel2.png for each size.
#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>

#include "ui/app/app_icon.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: ostrel2_icon <folder>\n", stderr);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    for (int size : {48, 64, 128, 256}) {
        const QString dir = QStringLiteral("%1/%2x%2").arg(folder).arg(size);
        if (!QDir().mkpath(dir) ||
            !ostrel::ui::RenderAppIcon(size).save(dir + QStringLiteral("/ostrel2.png"))) {
            std::fprintf(stderr, "ostrel2_icon: cannot write %s\n", qPrintable(dir));
            return 1;
        }
    }
    return 0;
}
