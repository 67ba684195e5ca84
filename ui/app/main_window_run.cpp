// The main window's report runs: what a run is asked to do, Start, and the
// ports the run talks through (the status panels, message boxes, warnings,
// the pickers' ticks and cancelling).
#include "ui/app/main_window.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

#include <exception>
#include <string>
#include <vector>

#include "components/diagram/diagram_file.h"
#include "ui/app/object_pickers.h"
#include "ui/preview/preview_dialog.h"

namespace ostrel::ui {

engine::RunRequest MainWindow::Request() {
    engine::RunRequest request;
    request.databasePath = databasePath_->text().toStdString();
    request.target = targetGroup_->button(0)->isChecked() ? engine::ReportTarget::Preview
                                                          : engine::ReportTarget::CsvFile;
    request.outputPath = csvPath_->text().toStdString();
    request.pagedOutput = [this] {
        std::unique_ptr<engine::PagedOutput> output = services_.loadPreview(this);
        if (auto* preview = dynamic_cast<PreviewDialog*>(output.get())) {
            // Once the run has ended, the same report to an HTML page.
            preview->SetHtmlSaver([this] { htmlAfterRun_ = true; });
        }
        return output;
    };
    if (!htmlPath_.isEmpty()) {
        request.target = engine::ReportTarget::HtmlFile;
        request.outputPath = htmlPath_.toStdString();
        request.diagramSvg = [](const diagram::DiagramModel& model, engine::DiagramForm form) {
            if (form == engine::DiagramForm::Pages) {
                return diagram::DiagramSvgPages(model);
            }
            return std::vector<std::string>{diagram::DiagramSvgText(model)};
        };
    }
    return request;
}

void MainWindow::BrowseCsvFile() {
    // Without a name yet, the database's own, beside it.
    QString current = csvPath_->text();
    if (current.isEmpty() && !databasePath_->text().isEmpty()) {
        const QFileInfo database(databasePath_->text());
        current =
            database.absoluteDir().filePath(database.completeBaseName() + QStringLiteral(".csv"));
    }
    const auto chosen = services_.fileDialogs.ChooseCsvFile(this, current);
    if (chosen) {
        csvPath_->setText(*chosen);
    }
}

void MainWindow::StartReport() {
    // A path typed since the last fill: the pickers are filled from it first,
    // so that the run documents what they then show. A file that cannot be
    // read has been told already; a missing one is left to the run, which
    // says "Database does not exist".
    const QString path = databasePath_->text();
    if (path != pickerPath_) {
        if (QFileInfo(path).isFile()) {
            if (!FillPickers(true)) {
                return;
            }
        } else {
            checkedPath_ = path;  // told once, by the run
        }
    }
    // Switches stored before this run apply to all of it.
    services_.switches.Refresh();
    if (running_) {
        return;
    }
    // While the run goes on the window repaints and takes Escape and the
    // Cancel button, nothing else.
    running_ = true;
    cancelRequested_ = false;
    runWarnings_.clear();
    writtenReport_.clear();
    writtenLabel_->hide();
    openReportButton_->hide();
    sinceEvents_.invalidate();
    centralWidget()->setEnabled(false);
    menuBar()->setEnabled(false);
    cancelRunButton_->show();
    const engine::RunRequest request = Request();
    engine::RunPorts ports{*this, *this, *this};
    bool finished = false;
    try {
        finished = services_.runner.RunReport(request, ports);
    } catch (const std::exception& error) {
        Tell(QStringLiteral("The report stopped: %1").arg(QString::fromStdString(error.what())),
             engine::MessageIcon::Critical);
    }
    running_ = false;
    cancelRunButton_->hide();
    menuBar()->setEnabled(true);
    centralWidget()->setEnabled(true);
    startButton_->setFocus();
    if (finished && request.target == engine::ReportTarget::CsvFile) {
        ShowWrittenReport(csvPath_->text());
    } else if (finished && request.target == engine::ReportTarget::HtmlFile) {
        ShowWrittenReport(htmlPath_);
    }
    if (htmlAfterRun_) {
        htmlAfterRun_ = false;
        QTimer::singleShot(0, this, &MainWindow::SaveReportAsHtml);
    }
}

void MainWindow::ShowWrittenReport(const QString& path) {
    writtenReport_ = QFileInfo(path).absoluteFilePath();
    writtenLabel_->setText(QStringLiteral("Written to %1").arg(writtenReport_));
    writtenLabel_->show();
    openReportButton_->show();
    if (runWarnings_.isEmpty()) {
        return;
    }
    Tell(QStringLiteral("These linked tables are documented without their fields and indexes:\n\n"
                        "%1\n\nFile > Link Folders names more places to look for them.")
             .arg(runWarnings_.join(QLatin1Char('\n'))),
         engine::MessageIcon::Exclamation);
}

void MainWindow::SetStatusText(int panel, const std::string& text) {
    QLabel* shown = panel == 1 ? panel1_ : (panel == 2 ? panel2_ : nullptr);
    if (shown != nullptr) {
        shown->setText(QString::fromStdString(text));
    }
}

void MainWindow::RepaintStatus() {
    panel1_->repaint();
    panel2_->repaint();
}

void MainWindow::ShowMessage(const std::string& text, engine::MessageIcon icon,
                             const std::string& caption) {
    emit messageRequested();
    services_.messages.Show(this, QString::fromStdString(text), icon,
                            QString::fromStdString(caption));
}

void MainWindow::Tell(const QString& text, engine::MessageIcon icon) {
    emit messageRequested();
    services_.messages.Show(this, text, icon, Caption());
}

void MainWindow::Warn(const std::string& text) {
    runWarnings_ << QString::fromStdString(text);
}

bool MainWindow::IsSelected(engine::ObjectKind kind, const std::string& name) const {
    const QString shown = QString::fromStdString(name);
    switch (kind) {
        case engine::ObjectKind::Table:
            return IsTicked(*tablePicker_, shown);
        case engine::ObjectKind::Query:
            return IsTicked(*queryPicker_, shown);
        case engine::ObjectKind::Relationship:
            return true;
        default:
            break;
    }
    return applicationPickers_->IsSelected(kind, shown);
}

bool MainWindow::GoOn() {
    // Often enough to feel immediate, seldom enough to cost nothing.
    constexpr qint64 kEventsEveryMs = 40;
    if (running_ && (!sinceEvents_.isValid() || sinceEvents_.elapsed() >= kEventsEveryMs)) {
        sinceEvents_.restart();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return !cancelRequested_;
}

void MainWindow::CancelRun() {
    if (running_) {
        cancelRequested_ = true;
        SetStatusText(2, "Cancelling");
    }
}

}  // namespace ostrel::ui
