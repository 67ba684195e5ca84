// The preview window's ways out for the report: Print (to paper or a PDF
// file) and Save as HTML.
#include "ui/preview/preview_dialog.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QSettings>

#include "ui/preview/print_job.h"

namespace ostrel::ui {
namespace {

const QString kLastReportFolder = QStringLiteral("Preview/LastReportFolder");

}  // namespace

QString PreviewDialog::DefaultPrintFileName() const {
    const QFileInfo database(databasePath_);
    const QString base =
        databasePath_.isEmpty() ? QStringLiteral("report") : database.completeBaseName();
    QString folder;
    if (KeepsSettings()) {
        folder = QSettings().value(kLastReportFolder).toString();
    }
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        folder = databasePath_.isEmpty() ? QDir::homePath() : database.absolutePath();
    }
    return QDir(folder).filePath(base + QStringLiteral(".pdf"));
}

void PreviewDialog::Print() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(document_.Paper());
    printer.setFullPage(true);
    printer.setDocName(QFileInfo(DefaultPrintFileName()).completeBaseName());
    printer.setOutputFileName(DefaultPrintFileName());
    if (!prompts_->ChoosePrinter(printer, document_.PageCount(), this)) {
        return;  // the user changed their mind; the preview stays
    }
    const bool toFile =
        printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty();
    QString error;
    // The whole report to a file is the batch program's PDF, with its
    // outline and links; a range of pages, or paper, goes through the printer.
    const PrintOutcome outcome =
        toFile && printer.printRange() != QPrinter::PageRange
            ? SavePdfWithProgress(document_, printer.outputFileName(), this, error)
            : PrintWithProgress(document_, printer, this, error);
    if (outcome == PrintOutcome::Cancelled) {
        return;
    }
    if (outcome == PrintOutcome::Failed) {
        prompts_->ShowError(QStringLiteral("Ostrel2"),
                            QStringLiteral("The report could not be printed.\n\n%1").arg(error),
                            this);
        return;
    }
    if (toFile) {
        const QString saved = QFileInfo(printer.outputFileName()).absoluteFilePath();
        if (KeepsSettings()) {
            QSettings().setValue(kLastReportFolder, QFileInfo(saved).absolutePath());
        }
        prompts_->ShowSaved(saved, this);
    }
    accept();
}

void PreviewDialog::SaveAsHtml() {
    const std::function<void()> save = htmlSaver_;
    reject();
    if (save) {
        save();
    }
}

}  // namespace ostrel::ui
