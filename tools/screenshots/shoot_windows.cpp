// Opens the program's windows with real content and saves a picture of each,
// for the README. Run it on a display (the screenshots script uses Xvfb):
//   ostrel2_screens <output folder> <database file>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <memory>

#include "settings/config_dialog.h"
#include "ui/app/about_box.h"
#include "ui/app/app_icon.h"
#include "ui/app/program_window.h"

namespace {

using namespace ostrel;

bool Save(QWidget& widget, const QString& path) {
    // Let layouts settle and the window paint before taking its picture.
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
    }
    const bool saved = widget.grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(path));
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setWindowIcon(ui::AppIcon());
    if (argc != 3) {
        std::fputs("usage: ostrel2_screens <output folder> <database file>\n", stderr);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QString database = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(out);
    bool ok = true;

    QTemporaryDir settingsDir;
    ui::ProgramWindow program(settingsDir.filePath("Ostrel2.ini"));
    ui::MainWindow& window = program.Window();
    ui::ContextIDs& help = program.Help();
    help.SetHelpFile(QStringLiteral(OSTREL_HELP_FILE));
    window.move(40, 40);
    window.show();

    // The main window after a database was chosen and one table unticked.
    window.findChild<QLineEdit*>("txtTable")->setText(database);
    window.PopulateTables();
    auto* tables = window.findChild<QListWidget*>("vsFlexTables");
    if (tables->count() > 1) {
        tables->item(1)->setCheckState(Qt::Unchecked);
    }
    window.SetStatusText(1, "Finished processing");
    ok = Save(window, out + "/main-window.png") && ok;

    {
        std::unique_ptr<ui::AboutBox> about = ui::ShowSplash();
        ok = Save(*about, out + "/about.png") && ok;
    }

    {
        settings::ConfigDialog config(program.Switches(), &window);
        config.show();
        config.Tabs()->setCurrentIndex(1);
        ok = Save(config, out + "/config-tables.png") && ok;
        config.Tabs()->setCurrentIndex(2);
        config.findChild<QCheckBox*>("chkFieldDataUpdatable")->setChecked(false);
        ok = Save(config, out + "/config-fields.png") && ok;
        config.reject();
    }

    help.ShowHelpTopic(20);
    ok = Save(*help.Viewer(), out + "/help.png") && ok;
    help.CloseHelp();

    // A preview run: take the picture while the preview is showing, then
    // close it so that the run ends.
    QTimer::singleShot(500, [&] {
        QWidget* preview = QApplication::activeModalWidget();
        if (preview == nullptr || preview->objectName() != QLatin1String("frmPreview")) {
            std::fputs("the preview did not open\n", stderr);
            ok = false;
            return;
        }
        preview->resize(760, 900);
        ok = Save(*preview, out + "/preview.png") && ok;
        preview->findChild<QPushButton*>("cmdCancel")->click();
    });
    window.StartReport();
    return ok ? 0 : 1;
}
