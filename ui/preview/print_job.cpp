#include "ui/preview/print_job.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPrinter>
#include <QProgressDialog>
#include <algorithm>
#include <chrono>
#include <future>
#include <optional>
#include <string>

#include "components/qtdocument/page_printer.h"
#include "components/qtdocument/pdf_stream.h"
#include "components/qtdocument/qt_report_document.h"

namespace ostrel::ui {
namespace {

// Pages laid out between two looks at the event queue: enough to keep the
// job fast, few enough that the window answers at once.
constexpr int kPagesPerStep = 16;

// A progress dialog over parent, shown when the job takes a moment.
class Progress {
  public:
    Progress(const QString& text, int pages, QWidget* parent)
        : dialog_(text, QStringLiteral("Cancel"), 0, pages, parent) {
        dialog_.setObjectName(QStringLiteral("dlgPrintProgress"));
        dialog_.setWindowTitle(QStringLiteral("Ostrel2"));
        dialog_.setWindowModality(Qt::WindowModal);
        dialog_.setMinimumDuration(400);
        dialog_.setValue(0);
    }
    // Shows how far the job is; false once the user cancelled.
    bool Step(int done) {
        dialog_.setValue(done);
        QCoreApplication::processEvents();
        return !dialog_.wasCanceled();
    }
    QProgressDialog& Dialog() { return dialog_; }

  private:
    QProgressDialog dialog_;
};

}  // namespace

PrintOutcome PrintWithProgress(const qtdocument::QtReportDocument& document, QPrinter& printer,
                               QWidget* parent, QString& error) {
    std::optional<Progress> progress;
    try {
        const bool done = qtdocument::PrintPages(document, printer, [&](int printed, int total) {
            if (!progress) {
                progress.emplace(QStringLiteral("Printing the report\u2026"), total, parent);
            }
            return progress->Step(printed);
        });
        return done ? PrintOutcome::Done : PrintOutcome::Cancelled;
    } catch (const std::runtime_error& e) {
        error = QString::fromStdString(e.what());
        return PrintOutcome::Failed;
    }
}

PrintOutcome SavePdfWithProgress(const qtdocument::QtReportDocument& document, const QString& path,
                                 QWidget* parent, QString& error) {
    const int count = document.PageCount();
    if (count == 0) {
        error = QStringLiteral("The report has no pages.");
        return PrintOutcome::Failed;
    }
    Progress progress(QStringLiteral("Saving the report as %1\u2026").arg(path), count + 1, parent);
    std::optional<qtdocument::PdfStream> stream(std::in_place, document, path.toStdString());
    for (int first = 1; first <= count; first += kPagesPerStep) {
        const int last = std::min(first + kPagesPerStep - 1, count);
        document.LayOutPages(first, last, [&](int page, qtdocument::LaidOutPage& content) {
            stream->AddPage(page, std::move(content));
        });
        if (!progress.Step(last)) {
            stream.reset();  // dropped unfinished: nothing is left behind
            return PrintOutcome::Cancelled;
        }
    }
    // The outline and the links are added in one go; the window keeps
    // repainting meanwhile, but this last step cannot be stopped.
    progress.Dialog().setLabelText(QStringLiteral("Adding the contents and links\u2026"));
    progress.Dialog().setCancelButton(nullptr);
    std::string why;
    std::future<bool> finished =
        std::async(std::launch::async, [&stream, &why] { return stream->Finish(why); });
    while (finished.wait_for(std::chrono::milliseconds(30)) != std::future_status::ready) {
        QCoreApplication::processEvents();
    }
    if (!finished.get()) {
        error = QString::fromStdString(why);
        return PrintOutcome::Failed;
    }
    progress.Step(count + 1);
    return PrintOutcome::Done;
}

}  // namespace ostrel::ui
