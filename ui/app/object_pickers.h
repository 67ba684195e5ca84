#pragma once

#include <QString>

class QListWidget;

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

}  // namespace ostrel::ui
