#include "ui/preview/preview_prompts.h"

#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace ostrel::ui {

bool DialogPrompts::ChoosePrinter(QPrinter& printer, int pageCount, QWidget* parent) {
    QPrintDialog dialog(&printer, parent);
    dialog.setMinMax(1, pageCount);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    return dialog.exec() == QDialog::Accepted;
}

void DialogPrompts::ShowError(const QString& title, const QString& text, QWidget* parent) {
    QMessageBox::critical(parent, title, text);
}

}  // namespace ostrel::ui
