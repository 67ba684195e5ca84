#include "ui/app/file_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>

namespace ostrel::ui {
namespace {

void StartAt(QFileDialog& dialog, const QString& current) {
    if (current.isEmpty()) {
        return;
    }
    const QFileInfo info(current);
    dialog.setDirectory(info.absolutePath());
    dialog.selectFile(info.fileName());
}

std::optional<QString> Run(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

}  // namespace

void SetUpDatabaseDialog(QFileDialog& dialog, const QString& current) {
    dialog.setWindowTitle(QStringLiteral("Choose the database"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({QStringLiteral("Access Databases (*.mdb)"),
                           QStringLiteral("Access 2007 Databases (*.accdb)")});
    dialog.selectNameFilter(QStringLiteral("Access Databases (*.mdb)"));
    StartAt(dialog, current);
}

void SetUpCsvDialog(QFileDialog& dialog, const QString& current) {
    dialog.setWindowTitle(QStringLiteral("Choose the CSV file"));
    // A file to write: ".csv" is added to a bare name, and an existing file
    // is replaced only once the user has said so.
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    dialog.setNameFilters({QStringLiteral("CSV Files (*.csv)")});
    StartAt(dialog, current);
}

void SetUpHtmlDialog(QFileDialog& dialog, const QString& current) {
    dialog.setWindowTitle(QStringLiteral("Save Report as HTML"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("html"));
    dialog.setNameFilters({QStringLiteral("HTML Files (*.html *.htm)")});
    StartAt(dialog, current);
}

std::optional<QString> FileDialogs::ChooseHtmlFile(QWidget* parent, const QString& current) {
    QFileDialog dialog(parent);
    SetUpHtmlDialog(dialog, current);
    return Run(dialog);
}

std::optional<QString> QtFileDialogs::ChooseDatabase(QWidget* parent, const QString& current) {
    QFileDialog dialog(parent);
    SetUpDatabaseDialog(dialog, current);
    return Run(dialog);
}

std::optional<QString> QtFileDialogs::ChooseCsvFile(QWidget* parent, const QString& current) {
    QFileDialog dialog(parent);
    SetUpCsvDialog(dialog, current);
    return Run(dialog);
}

std::optional<QString> FileDialogs::ChooseCodeFolder(QWidget* parent, const QString& database) {
    const QString folder = QFileDialog::getExistingDirectory(
        parent, QStringLiteral("Export Code To"), QFileInfo(database).absolutePath());
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    return folder;
}

}  // namespace ostrel::ui
