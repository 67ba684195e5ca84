#pragma once

#include <QLocale>
#include <functional>
#include <string>
#include <utility>

#include "components/qtdocument/qt_report_document.h"
#include "engine/run_host.h"

namespace ostrel::ui {

// A preview window with no window, for the batch program: it owns the report
// document and takes the run's calls. Where the desktop program would show
// the window modally it hands the finished document to `onShow` (to save it
// as PDF, say) and returns; the run drops the window afterwards. Needs only a
// QGuiApplication; the offscreen platform will do.
class HeadlessPreview final : public engine::PreviewWindow {
  public:
    using ShowHandler = std::function<void(const HeadlessPreview&)>;

    explicit HeadlessPreview(ShowHandler onShow, const QLocale& locale = QLocale::system())
        : document_(locale), onShow_(std::move(onShow)) {}

    document::ReportDocument& Document() override { return document_; }
    void ShowPageButtons() override { pageButtons_ = true; }
    void SetPrevEnabled(bool enabled) override { prevEnabled_ = enabled; }
    void SetCaption(const std::string& caption) override { caption_ = caption; }
    void SetDatabasePath(const std::string& path) override { document_.SetDatabaseName(path); }
    void ShowModal() override {
        if (onShow_) {
            onShow_(*this);
        }
    }

    const qtdocument::QtReportDocument& ReportDocument() const { return document_; }
    bool PageButtonsShown() const { return pageButtons_; }
    bool PrevEnabled() const { return prevEnabled_; }
    // The window caption the run set ("Preview" until it sets one).
    const std::string& Caption() const { return caption_; }

  private:
    qtdocument::QtReportDocument document_;
    ShowHandler onShow_;
    std::string caption_ = "Preview";
    bool pageButtons_ = false;
    bool prevEnabled_ = true;
};

}  // namespace ostrel::ui
