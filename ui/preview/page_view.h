#pragma once

#include <QScrollArea>
#include <QString>
#include <QWidget>
#include <functional>

namespace ostrel::qtdocument {
class QtReportDocument;
}

namespace ostrel::ui {

// Draws the document's preview page at the size the view gives it, with the
// hits of a search marked.
class PageSheet final : public QWidget {
  public:
    explicit PageSheet(const qtdocument::QtReportDocument& document, QWidget* parent = nullptr);

    // Marks every occurrence of text on the page; the current hit (the
    // n-th on this page, from 0; -1 for none) stands out.
    void SetHighlight(const QString& text, int currentOnPage);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const qtdocument::QtReportDocument& document_;
    QString highlight_;
    int currentOnPage_ = -1;
};

// The scrolling page area. The sheet fits the width (the default), fits the
// whole page, or is drawn at a percentage of its paper size. Pages are drawn
// when shown; no picture of a page is kept.
class PageView final : public QScrollArea {
    Q_OBJECT

  public:
    enum class Fit { Width, Page, Percent };

    explicit PageView(const qtdocument::QtReportDocument& document, QWidget* parent = nullptr);
    // Redraws after the preview page changed and returns to its top.
    void PageChanged();
    // Scrolls so that a height on the sheet (twips from its top) is at the
    // top of the view.
    void ScrollToTwips(double top);
    // Scrolls as little as needed for a rectangle of the sheet (twips) to be
    // in view, with some room around it.
    void EnsureTwipsVisible(const QRectF& rect);
    // Scrolls down (+1) or up (-1) by a view's height less a few lines; false
    // when the sheet's edge is already in view.
    bool ScrollPage(int direction);
    // Shows the sheet's bottom edge (after turning back a page).
    void ScrollToBottom();
    void SetZoom(Fit fit, int percent = 100);
    Fit ZoomFit() const { return fit_; }
    // The scale shown, in percent of the paper's size.
    int ZoomPercent() const;
    PageSheet* Sheet() const { return sheet_; }

    static constexpr int kMinPercent = 50;
    static constexpr int kMaxPercent = 400;

  signals:
    // Ctrl and the wheel: +1 to zoom in, -1 to zoom out.
    void zoomStepRequested(int step);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    void FitSheet();
    double PaperWidthPixels() const;

    const qtdocument::QtReportDocument& document_;
    PageSheet* sheet_;  // owned by the scroll area
    Fit fit_ = Fit::Width;
    int percent_ = 100;
};

}  // namespace ostrel::ui
