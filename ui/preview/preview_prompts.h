#pragma once

#include <QString>

class QPrinter;
class QWidget;

namespace ostrel::ui {

// The questions the preview window asks the user, behind an interface so
// that tests can answer them.
class PreviewPrompts {
  public:
    virtual ~PreviewPrompts() = default;
    // Lets the user pick a printer (or a PDF file) and the pages to print.
    // Returns false when the user cancels.
    virtual bool ChoosePrinter(QPrinter& printer, int pageCount, QWidget* parent) = 0;
    virtual void ShowError(const QString& title, const QString& text, QWidget* parent) = 0;
    // Tells where a report printed to a file went.
    virtual void ShowSaved(const QString& path, QWidget* parent) = 0;

  protected:
    PreviewPrompts() = default;
    PreviewPrompts(const PreviewPrompts&) = default;
    PreviewPrompts& operator=(const PreviewPrompts&) = default;
};

// Qt's print dialog and a critical message box.
class DialogPrompts final : public PreviewPrompts {
  public:
    bool ChoosePrinter(QPrinter& printer, int pageCount, QWidget* parent) override;
    void ShowError(const QString& title, const QString& text, QWidget* parent) override;
    // With a button that opens the file.
    void ShowSaved(const QString& path, QWidget* parent) override;
};

}  // namespace ostrel::ui
