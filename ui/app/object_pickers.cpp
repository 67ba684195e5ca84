#include "ui/app/object_pickers.h"

#include <QListWidget>
#include <QStringList>

#include "components/schema/own_tables.h"

namespace ostrel::ui {

bool IsListedTable(const QString& name) {
    return !schema::IsAccessOwnTable(name.toStdString());
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
