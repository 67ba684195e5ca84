// The main window's menus (File and Help, the recent databases) and the
// commands behind them.
#include "ui/app/main_window.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

#include <exception>

#include "settings/config_dialog.h"
#include "ui/app/about_box.h"
#include "ui/app/code_export_command.h"
#include "ui/app/link_folders.h"
#include "ui/app/window_geometry.h"

namespace ostrel::ui {

void MainWindow::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    QAction* configure = file->addAction(QStringLiteral("&Configure"));
    configure->setObjectName(QStringLiteral("mnuFileConfigure"));
    QAction* compare = file->addAction(QStringLiteral("Compare &With\u2026"));
    compare->setObjectName(QStringLiteral("mnuFileCompare"));
    QAction* saveHtml = file->addAction(QStringLiteral("Save Report as &HTML\u2026"));
    saveHtml->setObjectName(QStringLiteral("mnuFileSaveHtml"));
    QAction* exportCode = file->addAction(QStringLiteral("&Export Code\u2026"));
    exportCode->setObjectName(QStringLiteral("mnuFileExportCode"));
    QAction* linkFolders = file->addAction(QStringLiteral("&Link Folders\u2026"));
    linkFolders->setObjectName(QStringLiteral("mnuFileLinkFolders"));
    recentMenu_ = file->addMenu(QStringLiteral("&Recent Databases"));
    recentMenu_->setObjectName(QStringLiteral("mnuFileRecent"));
    recentMenu_->menuAction()->setObjectName(QStringLiteral("mnuFileRecentMenu"));
    QAction* exit = file->addAction(QStringLiteral("E&xit"));
    exit->setObjectName(QStringLiteral("mnuFileExit"));

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    QAction* contents = help->addAction(QStringLiteral("&Contents and Index"));
    contents->setObjectName(QStringLiteral("mnuHelpContents"));
    QAction* support = help->addAction(QStringLiteral("Obtaining &Support"));
    support->setObjectName(QStringLiteral("mnuHelpSupport"));
    QAction* separator = help->addSeparator();
    separator->setObjectName(QStringLiteral("mnuHelpSep"));
    QAction* about = help->addAction(QStringLiteral("&About Vantor Tools"));
    about->setObjectName(QStringLiteral("mnuAbout"));

    connect(configure, &QAction::triggered, this, &MainWindow::ConfigureSwitches);
    connect(compare, &QAction::triggered, this, &MainWindow::CompareWithDatabase);
    connect(saveHtml, &QAction::triggered, this, &MainWindow::SaveReportAsHtml);
    connect(exportCode, &QAction::triggered, this, &MainWindow::ExportCode);
    connect(linkFolders, &QAction::triggered, this, &MainWindow::EditLinkFolders);
    connect(recentMenu_, &QMenu::aboutToShow, this, &MainWindow::RefreshRecentMenu);
    connect(exit, &QAction::triggered, this, &QWidget::close);
    connect(contents, &QAction::triggered, this, &MainWindow::ShowHelpContents);
    connect(support, &QAction::triggered, this, &MainWindow::ShowSupportHelp);
    connect(about, &QAction::triggered, this, &MainWindow::ShowAbout);
    RefreshRecentMenu();
}

void MainWindow::RefreshRecentMenu() {
    recentMenu_->clear();
    const QStringList paths = recent_.Entries();
    for (int i = 0; i < paths.size(); ++i) {
        const QString& path = paths.at(i);
        QString label = path;
        label.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* entry = recentMenu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(label));
        entry->setObjectName(QStringLiteral("mnuFileRecent%1").arg(i + 1));
        entry->setData(path);
        connect(entry, &QAction::triggered, this, [this, path] { OpenDatabase(path); });
    }
    recentMenu_->setEnabled(!paths.isEmpty());
}

void MainWindow::ConfigureSwitches() {
    settings::ConfigDialog dialog(services_.switches, this);
    dialog.adjustSize();
    FitToScreen(dialog);
    dialog.exec();
}

void MainWindow::CompareWithDatabase() {
    // The chosen database is the old one; the second choice is the new one.
    const auto chosen = services_.fileDialogs.ChooseDatabase(this, databasePath_->text());
    if (!chosen) {
        return;
    }
    services_.switches.Refresh();
    try {
        engine::RunPorts ports{*this, *this, *this};
        services_.runner.RunComparison(Request(), chosen->toStdString(), ports);
    } catch (const std::exception& error) {
        Tell(QStringLiteral("The comparison stopped: %1").arg(QString::fromStdString(error.what())),
             engine::MessageIcon::Critical);
    }
}

void MainWindow::SaveReportAsHtml() {
    if (running_) {
        return;
    }
    // The database's own name, beside it.
    QString current;
    if (!databasePath_->text().isEmpty()) {
        const QFileInfo database(databasePath_->text());
        current =
            database.absoluteDir().filePath(database.completeBaseName() + QStringLiteral(".html"));
    }
    const auto chosen = services_.fileDialogs.ChooseHtmlFile(this, current);
    if (!chosen) {
        return;
    }
    htmlPath_ = *chosen;
    StartReport();
    htmlPath_.clear();
}

void MainWindow::ExportCode() {
    const QString path = databasePath_->text();
    if (path.trimmed().isEmpty()) {
        Tell(QStringLiteral("Choose a database file first."), engine::MessageIcon::Exclamation);
        return;
    }
    const auto folder = services_.fileDialogs.ChooseCodeFolder(this, path);
    if (!folder) {
        return;
    }
    const CodeExportSummary summary = ExportCodeFiles(services_.engine, path, *folder);
    Tell(summary.text, summary.icon);
}

void MainWindow::EditLinkFolders() {
    const QString settingsFile = services_.switches.FilePath();
    LinkFoldersDialog dialog(StoredLinkFolders(settingsFile), this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    StoreLinkFolders(settingsFile, dialog.Folders());
    UseStoredLinkFolders();
}

void MainWindow::UseStoredLinkFolders() {
    std::vector<std::string> folders;
    for (const QString& folder : StoredLinkFolders(services_.switches.FilePath())) {
        folders.push_back(folder.toStdString());
    }
    services_.engine.SetLinkFolders(folders);
}

void MainWindow::ShowHelpContents() {
    services_.help.ShowHelpContents();
}

void MainWindow::ShowSupportHelp() {
    services_.help.ShowHelpTopic(kHelpSupport);
}

void MainWindow::ShowAbout() {
    ShowAboutDialog(this);
}

}  // namespace ostrel::ui
