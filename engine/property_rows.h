#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "components/schema/database.h"
#include "engine/report_switches.h"
#include "engine/switch_table.h"
#include "engine/value_formatter.h"

namespace ostrel::engine {

// How a row's value becomes the text of a report cell, beyond the plain text
// of its variant.
enum class TextForm {
    Plain,
    // SQL: line breaks become blanks; in the preview the row separator is
    // dropped so the statement stays on its row.
    Sql,
    // A list joined by ";": in the preview each ";" becomes a line break inside
    // the cell.
    List,
};

// One switched property of one object, with its typed value. The label and
// the switch come from the switch table.
struct PropertyRow {
    const SwitchInfo* info;
    schema::Variant value;
    TextForm form = TextForm::Plain;
    // Changes whenever the file is used, copied or compacted (dates of
    // creation and change, counts of records and of distinct keys).
    bool changesWithUse = false;

    std::string_view Label() const { return info->rowLabel; }
};

using PropertyRows = std::vector<PropertyRow>;

// The rows of one object whose switches are on, in the report's order. A
// member whose switch is off is not read. Each call reads the switches afresh.
PropertyRows DatabaseRows(const schema::Database& database, const ReportSwitches& switches);
PropertyRows TableRows(const schema::TableDef& table, const ReportSwitches& switches);
PropertyRows FieldRows(const schema::Field& field, const ReportSwitches& switches);
PropertyRows IndexRows(const schema::Index& index, const ReportSwitches& switches);
PropertyRows RelationRows(const schema::Relation& relation, const ReportSwitches& switches);
PropertyRows QueryRows(const schema::QueryDef& query, const ReportSwitches& switches);
PropertyRows ParameterRows(const schema::Parameter& parameter, const ReportSwitches& switches);
// Forms, reports and macros (by the object's kind), and modules.
PropertyRows AccessObjectRows(const schema::AccessObject& object, const ReportSwitches& switches);
PropertyRows ModuleRows(const schema::VbaModule& module, const ReportSwitches& switches);

// Whether a switch turns a property row on or off; others (such as the
// diagram of the relationships) switch whole parts of the report.
bool HasPropertyRow(std::string_view key);

// The cell text of a row for a target with the given row separator.
std::string RowText(const PropertyRow& row, const ValueFormatter& formatter,
                    std::string_view rowSeparator);

// The same as a view: into the row's own value where its text is the value
// itself (text and yes/no, most rows), else into scratch. Valid while the row
// and scratch are.
std::string_view RowTextView(const PropertyRow& row, const ValueFormatter& formatter,
                             std::string_view rowSeparator, std::string& scratch);

// SQL on one line: CR and LF become blanks and the row separator is dropped.
std::string CleanSql(std::string_view sql, std::string_view rowSeparator);

}  // namespace ostrel::engine
