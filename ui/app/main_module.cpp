#include "ui/app/main_module.h"

#include <QApplication>
#include <QTimer>

#include <memory>

#include "ostrel_version.h"
#include "ui/app/app_icon.h"
#include "ui/app/frm_about.h"
#include "ui/app/program_window.h"
#include "ui/app/single_instance.h"

namespace ostrel::ui {
namespace {

constexpr int kSplashMilliseconds = 4000;

}  // namespace

int Main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Ostrel2"));
    QApplication::setApplicationName(QStringLiteral("Ostrel2"));
    QApplication::setApplicationVersion(QString::fromLatin1(kVersionText));
    QApplication::setWindowIcon(AppIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("ostrel2"));

    // A second copy of the program ends at once, silently.
    SingleInstance instance;
    if (!instance.TryAcquire()) {
        return 0;
    }

    // The About box shows as a splash for four seconds from now.
    std::unique_ptr<frmAbout> splash = ShowAbout(0);

    ProgramWindow program;
    frmMain& window = program.Window();

    // The main window can be used at once; the splash stays above it.
    window.show();
    splash->raise();

    // The splash goes when its time is up, or with the main window if that is
    // closed first; closing the main window ends the program.
    QTimer::singleShot(kSplashMilliseconds, &app, [&splash] { splash.reset(); });

    QApplication::setQuitOnLastWindowClosed(false);
    QObject::connect(&window, &frmMain::unloaded, &app, [&splash] {
        splash.reset();
        QCoreApplication::quit();
    });
    return QApplication::exec();
}

}  // namespace ostrel::ui
