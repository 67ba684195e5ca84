#include "ui/app/object_pickers.h"

#include <QListWidget>
#include <QStringList>
#include <QTabWidget>

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

namespace {

constexpr std::array<const char*, 4> kPickerNames{"vsFlexForms", "vsFlexReports", "vsFlexMacros",
                                                  "vsFlexModules"};
constexpr std::array<const char*, 4> kTabCaptions{"For&ms", "R&eports", "M&acros", "Mod&ules"};

template <class T>
QStringList Listed(const schema::Collection<T>& items) {
    QStringList names;
    for (int i = 0; i < items.Count(); ++i) {
        const std::string name = items.Item(i).Name();
        if (!name.starts_with('~')) {
            names << QString::fromStdString(name);
        }
    }
    return names;
}

}  // namespace

ApplicationPickers::ApplicationPickers(QTabWidget& tabs,
                                       const std::function<QListWidget*(const QString&)>& make)
    : tabs_(tabs) {
    for (std::size_t k = 0; k < pickers_.size(); ++k) {
        pickers_[k] = make(QString::fromLatin1(kPickerNames[k]));
        const int tab = tabs_.addTab(pickers_[k], QString::fromLatin1(kTabCaptions[k]));
        tabs_.setTabVisible(tab, false);
    }
}

ApplicationPickers::Names ApplicationPickers::Read(const schema::Database& database) {
    return {Listed(database.Forms()), Listed(database.Reports()), Listed(database.Macros()),
            Listed(database.Modules())};
}

void ApplicationPickers::Fill(const Names& names) {
    for (std::size_t k = 0; k < pickers_.size(); ++k) {
        FillTicked(*pickers_[k], names[k]);
        tabs_.setTabVisible(tabs_.indexOf(pickers_[k]), !names[k].isEmpty());
    }
}

void ApplicationPickers::Clear() {
    Fill({});
}

bool ApplicationPickers::IsSelected(engine::ObjectKind kind, const QString& name) const {
    for (std::size_t k = 0; k < kKinds.size(); ++k) {
        if (kKinds[k] == kind) {
            return IsTicked(*pickers_[k], name);
        }
    }
    return true;
}

}  // namespace ostrel::ui
