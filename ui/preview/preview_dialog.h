#pragma once

#include <QDialog>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "components/qtdocument/qt_report_document.h"
#include "engine/run_ports.h"
#include "ui/preview/preview_prompts.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QSplitter;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class QVBoxLayout;
class QWidget;

namespace ostrel::ui {

class PageView;

// The report preview window (object name "frmPreview"): one page of the
// report at a time, the page buttons, Print and Cancel; above the page a
// contents pane, a page box and the zoom; below it a find bar.
//
// A report run loads a fresh window, writes its document, sets up the page
// buttons and caption and shows it modally. When told to show early
// (ShowWhileLayingOut), the window appears as soon as the first page is laid
// out and can be paged while the run goes on; Cancel then stops the run (the
// run's host asks CloseRequested). Closing the window in any way ends the
// showing; the window and its document go when the run drops it.
//
// The window is owned by whoever loaded it (the run's std::unique_ptr). Its
// Qt parent `owner` (the main window) only places it and keeps it on top, and
// must outlive it: the run drops the window long before the main window goes.
class PreviewDialog final : public QDialog, public engine::PagedOutput {
    Q_OBJECT

  public:
    explicit PreviewDialog(QWidget* owner = nullptr,
                           std::unique_ptr<PreviewPrompts> prompts = nullptr,
                           const QLocale& locale = QLocale::system());
    ~PreviewDialog() override;
    PreviewDialog(const PreviewDialog&) = delete;
    PreviewDialog& operator=(const PreviewDialog&) = delete;

    // engine::PagedOutput
    document::ReportDocument& Document() override { return document_; }
    void SetDatabasePath(const std::string& path) override;
    void AddWarning(const std::string& text) override;
    // Shows the finished report until the user closes the window: with more
    // than one page, the page buttons ("Prev Page" disabled) and the caption
    // "Report Preview - Page 1 of" and the count.
    void Complete(int pages) override;

    // Makes "Next Page" and "Prev Page" visible (they start hidden).
    void ShowPageButtons();
    void SetPrevEnabled(bool enabled);
    void SetCaption(const std::string& caption);
    // Shows the window modally; returns when the user has closed it.
    void ShowModal();

    // Offers "Save as HTML..." beside the buttons: it closes the window and
    // then calls save, which writes the same report as an HTML page.
    void SetHtmlSaver(std::function<void()> save);

    // Shows the window as soon as page 1 is laid out, while the run goes on.
    void ShowWhileLayingOut(bool on) { early_ = on; }
    // The user closed the window before the run showed it.
    bool CloseRequested() const override { return closeRequested_; }

    // Told by the document as pages are laid out.
    void PagesLaidOut(int pages, bool ended);
    // "n of m", "No matches" or "".
    QString FindStatus() const;
    bool ContentsVisible() const;
    // Fills the print dialog's file name: the database's name with ".pdf" in
    // the folder of the last report printed to a file (or the database's).
    QString DefaultPrintFileName() const;

    const qtdocument::QtReportDocument& ReportDocument() const { return document_; }
    PageView* View() const { return view_; }
    QTreeWidget* Contents() const { return contents_; }

  public slots:
    // The page buttons: the next page (or, shown early, as soon as it is laid
    // out) and the one before.
    void ShowNextPage();
    void ShowPreviousPage();
    // Turns to page (clamped to the pages laid out so far).
    void GoToPage(int page);
    void GoToFirstPage() { GoToPage(1); }
    void GoToLastPage();
    // Print: the print dialog, then the pages to the printer or a PDF file.
    void Print();
    // Closes the window and writes the same report as an HTML page.
    void SaveAsHtml();
    // Find: looks for text and shows its first hit; then the next or
    // previous hit, round the ends.
    void FindText(const QString& text);
    void FindNext();
    void FindPrevious();
    void ShowFindBar();
    void SetContentsVisible(bool visible);
    // One step of the zoom's list up (+1) or down (-1).
    void ZoomBy(int step);

  protected:
    void done(int result) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    // The window is built from the top down.
    void BuildNavigationBar(QVBoxLayout& layout);
    void FillZoomBox();
    void BuildWarningsBar(QVBoxLayout& layout);
    void BuildContentsPane(QVBoxLayout& layout);
    void BuildFindBar(QVBoxLayout& layout);
    void BuildButtonStrip(QVBoxLayout& layout);
    void BuildTabOrder();
    void ConnectControls();
    void BuildShortcuts();
    void FitStripToCaptions();
    void ResizeToScreen();

    // Whether the window keeps its place and choices between runs: only in
    // the program, which names itself; a window made in a test leaves none.
    static bool KeepsSettings();
    void RestoreSettings();
    void SaveSettings() const;

    void SetPageCaption();
    void PageUp();
    void PageDown();
    void UpdatePageControls();
    void FillContents();
    void OpenContentsItem(QTreeWidgetItem* item);
    void HideFindBar();
    void ShowHit();
    void ApplyZoomText(const QString& text);

    qtdocument::QtReportDocument document_;
    std::unique_ptr<PreviewPrompts> prompts_;
    QString databasePath_;
    PageView* view_ = nullptr;  // child widgets are owned by the window
    QWidget* buttonStrip_ = nullptr;
    QPushButton* printButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* nextButton_ = nullptr;
    QPushButton* prevButton_ = nullptr;
    QPushButton* saveHtmlButton_ = nullptr;
    std::function<void()> htmlSaver_;
    QToolButton* contentsToggle_ = nullptr;
    QSpinBox* pageBox_ = nullptr;
    QLabel* pageOfLabel_ = nullptr;
    QComboBox* zoomBox_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QTreeWidget* contents_ = nullptr;
    QTreeWidgetItem* lastSection_ = nullptr;
    std::size_t contentsFilled_ = 0;
    QWidget* findBar_ = nullptr;
    QLineEdit* findEdit_ = nullptr;
    QToolButton* findPrevButton_ = nullptr;
    QToolButton* findNextButton_ = nullptr;
    QToolButton* findCloseButton_ = nullptr;
    QLabel* findStatus_ = nullptr;
    QLabel* warningsLabel_ = nullptr;
    QStringList warningLines_;

    std::vector<qtdocument::FindHit> hits_;
    QString searched_;
    int currentHit_ = -1;

    bool early_ = false;
    bool shownEarly_ = false;
    bool laidOutAll_ = false;
    bool buttonsShown_ = false;
    bool closeRequested_ = false;
    bool nextWaiting_ = false;  // Next Page was pressed at the last page laid out so far
    int laidOut_ = 0;
};

}  // namespace ostrel::ui
