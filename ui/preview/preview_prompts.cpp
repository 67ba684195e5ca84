#include "ui/preview/preview_prompts.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QUrl>

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

void DialogPrompts::ShowSaved(const QString& path, QWidget* parent) {
    QMessageBox box(QMessageBox::Information, QStringLiteral("Ostrel2"),
                    QStringLiteral("The report was saved as\n%1").arg(path), QMessageBox::Ok,
                    parent);
    QPushButton* open = box.addButton(QStringLiteral("&Open"), QMessageBox::ActionRole);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
    if (box.clickedButton() == open) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    }
}

}  // namespace ostrel::ui
