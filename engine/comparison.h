#pragma once

#include <functional>
#include <string>
#include <vector>

#include "components/schema/database.h"
#include "engine/property_rows.h"
#include "engine/report_model.h"
#include "engine/report_switches.h"

namespace ostrel::engine {

enum class Change { Unchanged, Added, Removed, Changed };

// The word for a change as the comparison's forms write it.
std::string_view ChangeWord(Change change);

// One switched property with its value in each file. An added item's rows
// carry the new value alone (the old one empty).
struct PropertyChange {
    const SwitchInfo* info;
    schema::Variant oldValue;
    schema::Variant newValue;
    TextForm form = TextForm::Plain;
};

// A field, index or parameter. Properties are listed for changed and added
// members only.
struct MemberComparison {
    std::string name;
    Change change = Change::Unchanged;
    std::vector<PropertyChange> properties;
};

// A table, relationship or query. A removed object carries its name alone; a
// changed one its differing properties and members; an added one all its
// rows and members, as the report would show them.
struct ObjectComparison {
    ObjectKind kind = ObjectKind::Table;
    std::string name;
    Change change = Change::Unchanged;
    std::vector<PropertyChange> properties;
    std::vector<MemberComparison> fields;      // tables
    std::vector<MemberComparison> indexes;     // tables
    std::vector<MemberComparison> parameters;  // queries
    // A changed module's code or macro's XML: the lines that differ, as a
    // unified diff (see UnifiedDiff).
    std::vector<std::string> textDiff;

    std::vector<MemberComparison>& Members(MemberKind memberKind);
    const std::vector<MemberComparison>& Members(MemberKind memberKind) const;
};

struct ComparisonOptions {
    // Also compare the properties that change whenever a file is used.
    bool volatileProperties = false;
    // Also list the objects and members that did not change.
    bool listUnchanged = false;
};

// Which objects take part. An object the old file holds takes part when its
// old name is selected; one only the new file holds when its new name passes
// the "added" test.
struct ObjectFilter {
    std::function<bool(ObjectKind, const std::string&)> selected;
    std::function<bool(ObjectKind, const std::string&)> selectedAdded;
};

// What differs between the designs of two databases. Objects are matched by
// name as Access matches names; a renamed object is one removal and one
// addition. The lists hold objects in the old file's order, then those only
// the new file has, in its order.
struct Comparison {
    std::vector<PropertyChange> database;
    std::vector<ObjectComparison> tables;
    std::vector<ObjectComparison> relationships;
    std::vector<ObjectComparison> queries;
    std::vector<ObjectComparison> forms;
    std::vector<ObjectComparison> reports;
    std::vector<ObjectComparison> macros;
    std::vector<ObjectComparison> modules;

    std::vector<ObjectComparison>& Objects(ObjectKind kind);
    const std::vector<ObjectComparison>& Objects(ObjectKind kind) const;
    bool HasDifferences() const;
};

// Observes progress: called with the kind and name of each object before it
// is compared.
using ComparisonProgress = std::function<void(ObjectKind kind, const std::string& name)>;

// Compares with the same switches on both sides: a property whose switch is
// off is neither read nor compared. A linked table whose source cannot be
// read on either side is compared without its fields and indexes.
Comparison CompareDatabases(const schema::Database& oldDatabase,
                            const schema::Database& newDatabase, const ReportSwitches& switches,
                            const ObjectFilter& filter, const ComparisonOptions& options,
                            const ComparisonProgress& progress = {});

}  // namespace ostrel::engine
