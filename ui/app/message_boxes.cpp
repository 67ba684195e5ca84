#include "ui/app/message_boxes.h"

#include <QMessageBox>

namespace ostrel::ui {

void QtMessageBoxes::Show(QWidget* parent, const QString& text, engine::MessageIcon icon,
                          const QString& caption) {
    QMessageBox::Icon shown = QMessageBox::NoIcon;
    switch (icon) {
        case engine::MessageIcon::Exclamation:
            shown = QMessageBox::Warning;
            break;
        case engine::MessageIcon::Critical:
            shown = QMessageBox::Critical;
            break;
        case engine::MessageIcon::None:
            break;
    }
    QMessageBox box(shown, caption, text, QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace ostrel::ui
