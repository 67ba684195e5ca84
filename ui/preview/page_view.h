#pragma once

#include <QScrollArea>
#include <QWidget>

namespace ostrel::qtdocument {
class QtReportDocument;
}

namespace ostrel::ui {

// Draws the document's preview page as wide as the widget is.
class PageSheet final : public QWidget {
  public:
    explicit PageSheet(const qtdocument::QtReportDocument& document, QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const qtdocument::QtReportDocument& document_;
};

// The scrolling page area: the sheet always fills the width and scrolls
// vertically. Pages are drawn when shown; no picture of a page is kept.
class PageView final : public QScrollArea {
  public:
    explicit PageView(const qtdocument::QtReportDocument& document, QWidget* parent = nullptr);
    // Redraws after the preview page changed and returns to its top.
    void PageChanged();
    PageSheet* Sheet() const { return sheet_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void FitSheet();

    const qtdocument::QtReportDocument& document_;
    PageSheet* sheet_;  // owned by the scroll area
};

}  // namespace ostrel::ui
