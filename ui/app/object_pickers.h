#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <functional>

#include "components/schema/database.h"
#include "engine/report_model.h"

class QListWidget;
class QTabWidget;

namespace ostrel::ui {

// Whether a table belongs in the table picker: every table except Access's
// own (system tables and the hidden tables of multi-valued fields).
bool IsListedTable(const QString& name);

// Whether the picker holds a ticked row whose text is exactly the name
// (letter case counts). Every row is looked at: of two rows with the same
// text, either being ticked is enough.
bool IsTicked(const QListWidget& picker, const QString& name);

// Empties the picker and lists the names in order, every row ticked.
void FillTicked(QListWidget& picker, const QStringList& names);

// The pickers of forms, reports, macros and modules: a tab each after the
// tabs already there, shown only while the database holds objects of its
// kind. Access's temporary objects ("~...") are not listed.
class ApplicationPickers {
  public:
    static constexpr std::array<engine::ObjectKind, 4> kKinds{
        engine::ObjectKind::Form, engine::ObjectKind::Report, engine::ObjectKind::Macro,
        engine::ObjectKind::Module};
    using Names = std::array<QStringList, 4>;

    ApplicationPickers(QTabWidget& tabs, const std::function<QListWidget*(const QString&)>& make);

    // The names each picker would list; throws what the database throws.
    static Names Read(const schema::Database& database);
    // Lists the names, every row ticked, and shows the tabs that have any.
    void Fill(const Names& names);
    void Clear();
    // Whether the object is ticked in the picker of its kind.
    bool IsSelected(engine::ObjectKind kind, const QString& name) const;
    const std::array<QListWidget*, 4>& Pickers() const { return pickers_; }

  private:
    QTabWidget& tabs_;
    std::array<QListWidget*, 4> pickers_{};
};

}  // namespace ostrel::ui
