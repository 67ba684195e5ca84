#include "ui/app/object_pickers.h"

#include <QListWidget>
#include <QStringList>

namespace ostrel::ui {

bool IsListedTable(const QString& name) {
    return !name.left(4).toUpper().startsWith(QStringLiteral("MSYS"));
}

bool IsTicked(const QListWidget& picker, const QString& name) {
    for (int row = 0; row < picker.count(); ++row) {
        const QListWidgetItem* item = picker.item(row);
        if (item->text() == name && item->checkState() == Qt::Checked) {
            return true;
        }
    }
    return false;
}

void FillTicked(QListWidget& picker, const QStringList& names) {
    picker.clear();
    for (const QString& name : names) {
        auto* item = new QListWidgetItem(name, &picker);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
}

}  // namespace ostrel::ui
