#include "cli/object_selection.h"

#include <stdexcept>

#include "components/schema/own_tables.h"

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

}  // namespace

ObjectSelection SelectObjects(const schema::Database& database, const CommandLine& line) {
    const std::set<std::string> tables = Names(database.TableDefs());
    const std::set<std::string> queries = Names(database.QueryDefs());
    ObjectSelection selection;
    if (line.NamesObjects()) {
        CheckNamed(line.tables, tables, "table", selection.tables);
        CheckNamed(line.queries, queries, "query", selection.queries);
        return selection;
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
