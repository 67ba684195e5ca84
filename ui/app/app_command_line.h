#pragma once

#include <QString>
#include <QStringList>

namespace ostrel::ui {

// What `ostrel2 [OPTION]... [DATABASE]` asks for.
struct AppCommandLine {
    bool help = false;
    bool version = false;
    // The database to start with, made absolute; empty when none was named.
    QString database;
    // Why the command line cannot be understood; empty when it can.
    QString error;
};

// Reads the arguments after the program name, once Qt has taken its own
// options (-platform, -style, ...) out. A database may be given as a path or
// as a file: URL.
AppCommandLine ParseAppCommandLine(const QStringList& arguments);

// Whether --help or --version is asked for: answered before any window
// system is needed.
bool AsksForHelpOrVersion(const QStringList& arguments);

QString AppUsageText();
QString AppVersionText();

// Exit status for a command line that cannot be understood, as for
// ostrel2-report.
inline constexpr int kAppExitUsage = 64;
// Exit status when the running copy cannot be reached.
inline constexpr int kAppExitFailure = 1;

}  // namespace ostrel::ui
