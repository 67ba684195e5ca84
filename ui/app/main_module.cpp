#include "ui/app/main_module.h"

#include <QApplication>
#include <QTimer>

#include <memory>

#include "components/jet/jet_engine.h"
#include "engine/value_formatter.h"
#include "ostrel_version.h"
#include "settings/switch_store.h"
#include "ui/app/app_icon.h"
#include "ui/app/context_ids.h"
#include "ui/app/engine_report_runner.h"
#include "ui/app/file_dialogs.h"
#include "ui/app/frm_about.h"
#include "ui/app/frm_main.h"
#include "ui/app/message_boxes.h"
#include "ui/app/single_instance.h"
#include "ui/preview/preview_dialog.h"

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

    // 1. A second copy ends at once, silently.
    SingleInstance instance;
    if (!instance.TryAcquire()) {
        return 0;
    }

    // 2, 3. The splash, for four seconds from now.
    std::unique_ptr<frmAbout> splash = ShowAbout(0);

    jet::JetEngine engine;
    settings::SwitchStore switches;
    const std::unique_ptr<engine::ValueFormatter> formatter = engine::MakeLocaleFormatter();
    EngineReportRunner runner(engine, switches, *formatter);
    QtMessageBoxes messages;
    QtFileDialogs fileDialogs;
    ContextIDs help;

    frmMain window(MainWindowServices{
        .engine = engine,
        .switches = switches,
        .runner = runner,
        .help = help,
        .messages = messages,
        .fileDialogs = fileDialogs,
        .loadPreview = [](QWidget* parent) -> std::unique_ptr<engine::PreviewWindow> {
            auto preview = std::make_unique<PreviewDialog>(parent);
            preview->ShowWhileLayingOut(true);
            return preview;
        }});

    // 4. Help belongs to the main window.
    help.InitHelp(&window);

    // 5, 6. The main window can be used at once; the splash stays above it.
    window.show();
    splash->raise();

    // 7, 8. The event loop runs; the splash goes when its time is up, or
    // with the main window if that is closed first.
    QTimer::singleShot(kSplashMilliseconds, &app, [&splash] { splash.reset(); });

    QApplication::setQuitOnLastWindowClosed(false);
    QObject::connect(&window, &frmMain::unloaded, &app, [&splash] {
        splash.reset();
        QCoreApplication::quit();
    });
    return QApplication::exec();
}

}  // namespace ostrel::ui
