#pragma once

#include <QString>

class QPrinter;
class QWidget;

namespace ostrel::qtdocument {
class QtReportDocument;
}

namespace ostrel::ui {

// How printing or saving a finished report ended.
enum class PrintOutcome { Done, Cancelled, Failed };

// Prints the pages the printer's settings ask for, a few at a time, with a
// progress dialog over parent whose Cancel stops the job. The window goes on
// repainting meanwhile. error says why when it failed.
PrintOutcome PrintWithProgress(const qtdocument::QtReportDocument& document, QPrinter& printer,
                               QWidget* parent, QString& error);

// Saves the whole report as a PDF file exactly as the batch program writes
// it (outline, links, title, author and creator), with progress and Cancel.
// A cancelled or failed save leaves an earlier file as it was.
PrintOutcome SavePdfWithProgress(const qtdocument::QtReportDocument& document, const QString& path,
                                 QWidget* parent, QString& error);

}  // namespace ostrel::ui
