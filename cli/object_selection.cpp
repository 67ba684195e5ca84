#include "cli/object_selection.h"

#include <stdexcept>

#include "components/schema/own_tables.h"
#include "engine/object_name.h"

namespace ostrel::cli {
namespace {

template <class T>
std::set<std::string> Names(const schema::Collection<T>& collection) {
    std::set<std::string> names;
    const int count = collection.Count();
    for (int i = 0; i < count; ++i) {
        names.insert(collection.Item(i).Name());
    }
    return names;
}

void CheckNamed(const std::vector<std::string>& named, const std::set<std::string>& present,
                const char* kind, std::set<std::string>& selected) {
    for (const std::string& name : named) {
        if (present.count(name) == 0) {
            throw std::runtime_error(std::string("the database holds no ") + kind + " named '" +
                                     name + "'");
        }
        selected.insert(name);
    }
}

void AddMatching(const std::vector<std::string>& named, const std::set<std::string>& oldNames,
                 const std::set<std::string>& newNames, const char* kind,
                 std::set<std::string>& selected) {
    for (const std::string& name : named) {
        const std::string key = engine::NameKey(name);
        bool found = false;
        for (const std::set<std::string>* names : {&oldNames, &newNames}) {
            for (const std::string& present : *names) {
                if (engine::NameKey(present) == key) {
                    selected.insert(present);
                    found = true;
                }
            }
        }
        if (!found) {
            throw std::runtime_error(std::string("neither database holds a ") + kind + " named '" +
                                     name + "'");
        }
    }
}

// The named forms, reports, macros and modules, and their names in the
// databases (every one of them when none is named).
struct ApplicationNames {
    const std::vector<std::string>& named;
    std::set<std::string>& selected;
    const char* kind;
    std::set<std::string> (*present)(const schema::Database&);
};

std::vector<ApplicationNames> ApplicationKinds(const CommandLine& line,
                                               ObjectSelection& selection) {
    return {
        {line.forms, selection.forms, "form",
         [](const schema::Database& d) { return Names(d.Forms()); }},
        {line.reports, selection.reports, "report",
         [](const schema::Database& d) { return Names(d.Reports()); }},
        {line.macros, selection.macros, "macro",
         [](const schema::Database& d) { return Names(d.Macros()); }},
        {line.modules, selection.modules, "module",
         [](const schema::Database& d) { return Names(d.Modules()); }},
    };
}

}  // namespace

ObjectSelection SelectForComparison(const schema::Database& oldDatabase,
                                    const schema::Database& newDatabase, const CommandLine& line) {
    const std::set<std::string> oldTables = Names(oldDatabase.TableDefs());
    const std::set<std::string> newTables = Names(newDatabase.TableDefs());
    const std::set<std::string> oldQueries = Names(oldDatabase.QueryDefs());
    const std::set<std::string> newQueries = Names(newDatabase.QueryDefs());
    ObjectSelection selection;
    if (line.NamesObjects()) {
        AddMatching(line.tables, oldTables, newTables, "table", selection.tables);
        AddMatching(line.queries, oldQueries, newQueries, "query", selection.queries);
        for (const ApplicationNames& kind : ApplicationKinds(line, selection)) {
            AddMatching(kind.named, kind.present(oldDatabase), kind.present(newDatabase), kind.kind,
                        kind.selected);
        }
        return selection;
    }
    for (const ApplicationNames& kind : ApplicationKinds(line, selection)) {
        kind.selected = kind.present(oldDatabase);
        const std::set<std::string> added = kind.present(newDatabase);
        kind.selected.insert(added.begin(), added.end());
    }
    for (const std::set<std::string>* names : {&oldTables, &newTables}) {
        for (const std::string& name : *names) {
            if (!schema::IsAccessOwnTable(name)) {
                selection.tables.insert(name);
            }
        }
    }
    selection.queries = oldQueries;
    selection.queries.insert(newQueries.begin(), newQueries.end());
    return selection;
}

ObjectSelection SelectObjects(const schema::Database& database, const CommandLine& line) {
    const std::set<std::string> tables = Names(database.TableDefs());
    const std::set<std::string> queries = Names(database.QueryDefs());
    ObjectSelection selection;
    if (line.NamesObjects()) {
        CheckNamed(line.tables, tables, "table", selection.tables);
        CheckNamed(line.queries, queries, "query", selection.queries);
        for (const ApplicationNames& kind : ApplicationKinds(line, selection)) {
            CheckNamed(kind.named, kind.present(database), kind.kind, kind.selected);
        }
        return selection;
    }
    for (const ApplicationNames& kind : ApplicationKinds(line, selection)) {
        kind.selected = kind.present(database);
    }
    for (const std::string& name : tables) {
        if (!schema::IsAccessOwnTable(name)) {
            selection.tables.insert(name);
        }
    }
    selection.queries = queries;
    return selection;
}

}  // namespace ostrel::cli
