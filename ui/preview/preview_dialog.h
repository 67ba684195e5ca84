#pragma once

#include <QDialog>
#include <QLocale>
#include <QString>
#include <memory>
#include <string>

#include "components/qtdocument/qt_report_document.h"
#include "engine/run_host.h"
#include "ui/preview/preview_prompts.h"

class QPushButton;
class QWidget;

namespace ostrel::ui {

class PageView;

// The report preview window (object name "frmPreview"): one page of the
// report at a time, the page buttons, Print and Cancel. A report run loads a
// fresh window, writes its document, sets up the page buttons and caption and
// shows it modally. Closing the window in any way ends the showing; the
// window and its document go when the run drops it.
//
// The window is owned by whoever loaded it (the run's std::unique_ptr). Its
// Qt parent `owner` (the main window) only places it and keeps it on top, and
// must outlive it: the run drops the window long before the main window goes.
class PreviewDialog final : public QDialog, public engine::PreviewWindow {
    Q_OBJECT

  public:
    explicit PreviewDialog(QWidget* owner = nullptr,
                           std::unique_ptr<PreviewPrompts> prompts = nullptr,
                           const QLocale& locale = QLocale::system());
    ~PreviewDialog() override;
    PreviewDialog(const PreviewDialog&) = delete;
    PreviewDialog& operator=(const PreviewDialog&) = delete;

    // engine::PreviewWindow
    document::ReportDocument& Document() override { return document_; }
    void ShowPageButtons() override;
    void SetPrevEnabled(bool enabled) override;
    void SetCaption(const std::string& caption) override;
    void ShowModal() override;

    // The button handlers.
    void cmdNext_Click();
    void cmdPrev_Click();
    void cmdTransmit_Click();
    void cmdCancel_Click();

    const qtdocument::QtReportDocument& ReportDocument() const { return document_; }
    PageView* View() const { return view_; }

  private:
    void SetPageCaption();
    void PageUp();
    void PageDown();

    qtdocument::QtReportDocument document_;
    std::unique_ptr<PreviewPrompts> prompts_;
    PageView* view_ = nullptr;  // child widgets are owned by the window
    QWidget* strip_ = nullptr;
    QPushButton* cmdTransmit_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QPushButton* cmdNext_ = nullptr;
    QPushButton* cmdPrev_ = nullptr;
};

}  // namespace ostrel::ui
