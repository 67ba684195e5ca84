#include "ui/app/main_module.h"

#include <QApplication>
#include <QStringList>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <memory>

#include "ostrel_version.h"
#include "ui/app/about_box.h"
#include "ui/app/app_command_line.h"
#include "ui/app/app_icon.h"
#include "ui/app/help_keys.h"
#include "ui/app/program_window.h"
#include "ui/app/single_instance.h"

namespace ostrel::ui {
namespace {

constexpr int kSplashMilliseconds = 4000;

QStringList ArgumentsOf(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);  // NOLINT(*-pointer-arithmetic)
    }
    return arguments;
}

void Print(std::FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
}

int UsageError(const QString& error) {
    Print(stderr,
          QStringLiteral("ostrel2: %1\nTry 'ostrel2 --help' for more information.\n").arg(error));
    return kAppExitUsage;
}

// Opens the database as soon as the window system has shown the window.
void OpenWhenShown(MainWindow& window, const QString& database, int triesLeft = 20) {
    const QWindow* handle = window.windowHandle();
    if (triesLeft > 0 && (handle == nullptr || !handle->isExposed())) {
        QTimer::singleShot(50, &window, [&window, database, triesLeft] {
            OpenWhenShown(window, database, triesLeft - 1);
        });
        return;
    }
    window.OpenDatabase(database);
}

}  // namespace

int Main(int argc, char** argv) {
    // --help and --version answer on the terminal, also without a display.
    const QStringList raw = ArgumentsOf(argc, argv);
    if (AsksForHelpOrVersion(raw)) {
        const AppCommandLine line = ParseAppCommandLine(raw);
        Print(stdout, line.help ? AppUsageText() : AppVersionText());
        return 0;
    }

    QApplication app(argc, argv);
    // What is left once Qt has taken its own options.
    const AppCommandLine line = ParseAppCommandLine(QCoreApplication::arguments().mid(1));
    if (!line.error.isEmpty()) {
        return UsageError(line.error);
    }
    QApplication::setOrganizationName(QStringLiteral("Ostrel2"));
    QApplication::setApplicationName(QStringLiteral("Ostrel2"));
    QApplication::setApplicationVersion(QString::fromLatin1(kVersionText));
    QApplication::setWindowIcon(AppIcon());
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopId));

    // A second copy of the program ends at once. It hands its database to
    // the running copy, which opens it and comes to the front.
    SingleInstance instance;
    if (!instance.TryAcquire()) {
        if (!instance.HandOver(line.database)) {
            Print(stderr, QStringLiteral("ostrel2: Ostrel2 is running but does not answer at %1\n")
                              .arg(instance.SocketPath()));
            return kAppExitFailure;
        }
        return 0;
    }

    // The About box shows as a splash for four seconds from now.
    std::unique_ptr<AboutBox> splash = ShowSplash();

    ProgramWindow program;
    MainWindow& window = program.Window();
    // F1 opens the help topic of the window in use.
    HelpKeys helpKeys(program.Help());
    app.installEventFilter(&helpKeys);

    // The main window can be used at once; the splash stays above it.
    window.show();
    splash->raise();
    // A message box, such as the one for a database that cannot be read,
    // is not hidden under the splash: the splash makes way for it.
    QObject::connect(&window, &MainWindow::messageRequested, &app, [&splash] { splash.reset(); });
    // Opened once the window is up and placed on the screen, so that a
    // message about the file stands over it (a second at most).
    OpenWhenShown(window, line.database);
    QObject::connect(&instance, &SingleInstance::openRequested, &window,
                     [&window](const QString& path) {
                         window.BringToFront();
                         window.OpenDatabase(path);
                     });

    // The splash goes when its time is up, or with the main window if that is
    // closed first; closing the main window ends the program.
    QTimer::singleShot(kSplashMilliseconds, &app, [&splash] { splash.reset(); });

    QApplication::setQuitOnLastWindowClosed(false);
    QObject::connect(&window, &MainWindow::unloaded, &app, [&splash] {
        splash.reset();
        QCoreApplication::quit();
    });
    return QApplication::exec();
}

}  // namespace ostrel::ui
