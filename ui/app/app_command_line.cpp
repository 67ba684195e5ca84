#include "ui/app/app_command_line.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "ostrel_version.h"

namespace ostrel::ui {

AppCommandLine ParseAppCommandLine(const QStringList& arguments) {
    AppCommandLine line;
    QStringList databases;
    bool optionsEnded = false;
    for (const QString& arg : arguments) {
        if (optionsEnded || arg == QLatin1String("-") || !arg.startsWith(QLatin1Char('-'))) {
            databases << arg;
        } else if (arg == QLatin1String("--")) {
            optionsEnded = true;
        } else if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            line.help = true;
        } else if (arg == QLatin1String("--version")) {
            line.version = true;
        } else if (line.error.isEmpty()) {
            line.error = QStringLiteral("unknown option %1").arg(arg);
        }
    }
    if (line.help || line.version) {
        line.error.clear();
        return line;
    }
    if (databases.size() > 1 && line.error.isEmpty()) {
        line.error = QStringLiteral("more than one database named: %1").arg(databases.at(1));
    }
    if (!line.error.isEmpty() || databases.isEmpty()) {
        return line;
    }
    QString path = databases.constFirst();
    if (path.startsWith(QLatin1String("file:"))) {
        path = QUrl(path).toLocalFile();
    }
    if (!path.isEmpty()) {
        path = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    }
    line.database = path;
    return line;
}

bool AsksForHelpOrVersion(const QStringList& arguments) {
    for (const QString& arg : arguments) {
        if (arg == QLatin1String("--")) {
            return false;
        }
        if (arg == QLatin1String("-h") || arg == QLatin1String("--help") ||
            arg == QLatin1String("--version")) {
            return true;
        }
    }
    return false;
}

QString AppUsageText() {
    return QStringLiteral(
        "Usage: ostrel2 [OPTION]... [DATABASE]\n"
        "Document the design of Microsoft Access databases in a window.\n"
        "\n"
        "DATABASE (an .mdb or .accdb file) is chosen at start, its tables and\n"
        "queries listed and ticked. When Ostrel2 is already running, DATABASE is\n"
        "opened there and this command ends at once.\n"
        "\n"
        "  -h, --help       show this help and exit\n"
        "      --version    show the version and exit\n"
        "\n"
        "Qt's own options, such as -platform or -style, are accepted as well.\n"
        "The batch report without a window is ostrel2-report.\n"
        "\n"
        "Exit status: 0 success, 1 the running copy did not answer,\n"
        "64 the command line cannot be understood.\n");
}

QString AppVersionText() {
    return QStringLiteral("ostrel2 %1\n").arg(QString::fromLatin1(kVersionText));
}

}  // namespace ostrel::ui
