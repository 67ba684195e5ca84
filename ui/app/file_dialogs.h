#pragma once

#include <QString>

#include <optional>

class QFileDialog;
class QWidget;

namespace ostrel::ui {

// The two file choices of the main window. Tests answer them without a real
// dialog.
class FileDialogs {
  public:
    virtual ~FileDialogs() = default;
    // An existing database file, or nothing when the user cancelled.
    virtual std::optional<QString> ChooseDatabase(QWidget* parent, const QString& current) = 0;
    // A CSV file name, which need not exist yet, or nothing when cancelled.
    virtual std::optional<QString> ChooseCsvFile(QWidget* parent, const QString& current) = 0;
    // An HTML file name for the report as a page, or nothing when cancelled.
    virtual std::optional<QString> ChooseHtmlFile(QWidget* parent, const QString& current);
    // A folder to export a database's code to (made when it does not exist),
    // or nothing when cancelled. By default the folder dialog, starting
    // beside the database.
    virtual std::optional<QString> ChooseCodeFolder(QWidget* parent, const QString& database);

  protected:
    FileDialogs() = default;
    FileDialogs(const FileDialogs&) = default;
    FileDialogs& operator=(const FileDialogs&) = default;
};

// Open-file dialog for a database: Access databases (*.mdb) first, Access
// 2007 and later (*.accdb) second; the file must exist.
void SetUpDatabaseDialog(QFileDialog& dialog, const QString& current);
// Save dialog for the CSV file: CSV files (*.csv); a new name is accepted and
// takes ".csv" when it has no extension; replacing a file is confirmed.
void SetUpCsvDialog(QFileDialog& dialog, const QString& current);
// The same for the HTML page: HTML files (*.html *.htm), ".html" added.
void SetUpHtmlDialog(QFileDialog& dialog, const QString& current);

class QtFileDialogs : public FileDialogs {
  public:
    std::optional<QString> ChooseDatabase(QWidget* parent, const QString& current) override;
    std::optional<QString> ChooseCsvFile(QWidget* parent, const QString& current) override;
};

}  // namespace ostrel::ui
