// The main window's database: choosing it (Browse, a typed path, a dropped
// file, the command line) and filling the object pickers from it.
#include "ui/app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>

#include <exception>
#include <utility>

#include "ui/app/object_pickers.h"

namespace ostrel::ui {
namespace {

// The database a drag carries: one local .mdb or .accdb file.
QString DroppedDatabase(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1) {
        return {};
    }
    const QUrl url = data->urls().constFirst();
    if (!url.isLocalFile()) {
        return {};
    }
    const QString path = url.toLocalFile();
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("mdb") || suffix == QLatin1String("accdb") ? path : QString();
}

// What the pickers list of one database.
struct PickerNames {
    QStringList tables;
    QStringList queries;
    ApplicationPickers::Names applicationNames;
};

// Throws what the database throws.
PickerNames ReadPickerNames(const schema::Database& database) {
    PickerNames names;
    const auto& tableDefs = database.TableDefs();
    for (int i = 0; i < tableDefs.Count(); ++i) {
        const QString name = QString::fromStdString(tableDefs.Item(i).Name());
        if (IsListedTable(name)) {
            names.tables << name;
        }
    }
    const auto& queryDefs = database.QueryDefs();
    for (int i = 0; i < queryDefs.Count(); ++i) {
        names.queries << QString::fromStdString(queryDefs.Item(i).Name());
    }
    names.applicationNames = ApplicationPickers::Read(database);
    return names;
}

}  // namespace

void MainWindow::PopulateTables() {
    FillPickers(false);
}

bool MainWindow::FillPickers(bool emptyOnFailure) {
    const QScopedValueRollback<bool> filling(filling_, true);
    const QString path = databasePath_->text();
    const auto failed = [&](const QString& message) {
        checkedPath_ = path;
        if (emptyOnFailure) {
            schema::CloseQuietly(pickerDatabase_);
            tablePicker_->clear();
            queryPicker_->clear();
            applicationPickers_->Clear();
            pickerPath_ = path;
        }
        Tell(message, engine::MessageIcon::Exclamation);
        return false;
    };
    if (path.trimmed().isEmpty()) {
        return failed(QStringLiteral("Choose a database file first."));
    }
    // Everything is read before anything is replaced: a file that cannot be
    // read leaves the lists, and the database they came from, as they were.
    std::unique_ptr<schema::Database> database;
    PickerNames names;
    try {
        database = services_.engine.OpenDatabase(path.toStdString());
        names = ReadPickerNames(*database);
    } catch (const std::exception& error) {
        // Already failing; the first error is the one to report.
        schema::CloseQuietly(database);
        return failed(QStringLiteral("The tables and queries of %1 cannot be listed:\n%2")
                          .arg(path, QString::fromStdString(error.what())));
    }
    schema::CloseQuietly(pickerDatabase_);
    pickerDatabase_ = std::move(database);
    pickerPath_ = path;
    checkedPath_ = path;
    FillTicked(*tablePicker_, names.tables);
    FillTicked(*queryPicker_, names.queries);
    applicationPickers_->Fill(names.applicationNames);
    // Space ticks from the first row on; nothing shows as selected.
    for (QListWidget* picker : AllPickers()) {
        if (picker->count() > 0) {
            picker->setCurrentRow(0, QItemSelectionModel::NoUpdate);
        }
    }
    recent_.Add(path);
    RefreshRecentMenu();
    return true;
}

void MainWindow::DatabasePathEdited() {
    QTimer::singleShot(0, this, &MainWindow::CheckTypedDatabase);
}

void MainWindow::CheckTypedDatabase() {
    const QString path = databasePath_->text();
    if (running_ || filling_ || path == pickerPath_ || path == checkedPath_) {
        return;
    }
    if (QApplication::activePopupWidget() != nullptr ||
        QApplication::activeModalWidget() != nullptr) {
        QTimer::singleShot(250, this, &MainWindow::CheckTypedDatabase);
        return;
    }
    FillPickers(true);
}

void MainWindow::BrowseDatabase() {
    // A cancelled dialog changes nothing: the path and the ticks stay.
    const auto chosen = services_.fileDialogs.ChooseDatabase(this, databasePath_->text());
    if (!chosen) {
        return;
    }
    databasePath_->setText(*chosen);
    if (!FillPickers(false)) {
        recent_.Remove(*chosen);
        RefreshRecentMenu();
    }
}

void MainWindow::OpenDatabase(const QString& path) {
    if (path.isEmpty()) {
        return;
    }
    pendingDatabase_ = path;
    OpenPendingDatabase();
}

void MainWindow::OpenPendingDatabase() {
    if (pendingDatabase_.isEmpty()) {
        return;
    }
    // A run, a dialog or a message box is under way: the pickers change only
    // once it is over.
    if (QApplication::activeModalWidget() != nullptr) {
        QTimer::singleShot(250, this, &MainWindow::OpenPendingDatabase);
        return;
    }
    const QString path = std::exchange(pendingDatabase_, QString());
    databasePath_->setText(path);
    if (!FillPickers(false)) {
        recent_.Remove(path);
        RefreshRecentMenu();
    }
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedDatabase(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event) {
    if (!DroppedDatabase(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QString path = DroppedDatabase(event->mimeData());
    if (path.isEmpty()) {
        return;
    }
    event->acceptProposedAction();
    // After the drop has ended: filling may show a message box.
    QTimer::singleShot(0, this, [this, path] { OpenDatabase(path); });
}

std::vector<QListWidget*> MainWindow::AllPickers() const {
    std::vector<QListWidget*> pickers{tablePicker_, queryPicker_};
    pickers.insert(pickers.end(), applicationPickers_->Pickers().begin(),
                   applicationPickers_->Pickers().end());
    return pickers;
}

void MainWindow::BuildTickActions() {
    // On a database of thousands of tables, unticking all but a few must not
    // take a click per row. The pickers list both actions on a right click.
    auto* tickAll = new QAction(QStringLiteral("&Tick All"), this);
    tickAll->setObjectName(QStringLiteral("mnuTickAll"));
    tickAll->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    auto* untickAll = new QAction(QStringLiteral("&Untick All"), this);
    untickAll->setObjectName(QStringLiteral("mnuUntickAll"));
    untickAll->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A));
    for (QAction* action : {tickAll, untickAll}) {
        // Text boxes keep Ctrl+A for selecting their text.
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
    for (QListWidget* picker : AllPickers()) {
        picker->setContextMenuPolicy(Qt::ActionsContextMenu);
        picker->addAction(tickAll);
        picker->addAction(untickAll);
    }
    connect(tickAll, &QAction::triggered, this, [this] { TickAll(true); });
    connect(untickAll, &QAction::triggered, this, [this] { TickAll(false); });
}

void MainWindow::TickAll(bool ticked) {
    auto* picker = qobject_cast<QListWidget*>(pickerTabs_->currentWidget());
    if (picker == nullptr) {
        return;
    }
    const Qt::CheckState state = ticked ? Qt::Checked : Qt::Unchecked;
    for (int row = 0; row < picker->count(); ++row) {
        picker->item(row)->setCheckState(state);
    }
}

}  // namespace ostrel::ui
