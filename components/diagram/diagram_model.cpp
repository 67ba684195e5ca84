#include "components/diagram/diagram_model.h"

#include <algorithm>
#include <cctype>
#include <numeric>
#include <unordered_map>
#include <variant>

#include "components/schema/schema_error.h"

namespace ostrel::diagram {
namespace {

namespace relation_attribute = schema::relation_attribute;
namespace table_attribute = schema::table_attribute;

std::string Folded(std::string_view name) {
    std::string folded(name);
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return folded;
}

// The names in DAO's text form of an index's fields ("+ID;-Date").
std::vector<std::string> IndexFieldNames(const schema::Variant& fields) {
    std::vector<std::string> names;
    const auto* text = std::get_if<std::string>(&fields);
    if (text == nullptr) {
        return names;
    }
    std::size_t start = 0;
    while (start <= text->size()) {
        std::size_t end = text->find(';', start);
        if (end == std::string::npos) {
            end = text->size();
        }
        std::string_view name(text->data() + start, end - start);
        if (!name.empty() && (name.front() == '+' || name.front() == '-')) {
            name.remove_prefix(1);
        }
        if (!name.empty()) {
            names.emplace_back(name);
        }
        start = end + 1;
    }
    return names;
}

// The primary key's field names, folded. A table whose indexes cannot be read
// is drawn without key marks rather than not at all.
std::vector<std::string> PrimaryKeyFields(const schema::TableDef& table) {
    std::vector<std::string> folded;
    try {
        const int count = table.Indexes().Count();
        for (int i = 0; i < count; ++i) {
            const schema::Index& index = table.Indexes().Item(i);
            if (index.Primary()) {
                for (const std::string& name : IndexFieldNames(index.Fields())) {
                    folded.push_back(Folded(name));
                }
                break;
            }
        }
    } catch (const schema::SchemaError&) {
        folded.clear();
    }
    return folded;
}

bool IsLinked(const schema::TableDef& table) {
    try {
        return (table.Attributes() &
                (table_attribute::kAttachedTable | table_attribute::kAttachedOdbc)) != 0;
    } catch (const schema::SchemaError&) {
        return false;
    }
}

DiagramTable DescribeTable(const schema::TableDef& table, const std::string& name) {
    DiagramTable described;
    described.name = name;
    described.linked = IsLinked(table);
    if (table.LinkProblem()) {
        // The source cannot be read: the box stands for the table, marked as
        // linked, without the fields nobody can list.
        described.linked = true;
        return described;
    }
    const std::vector<std::string> key = PrimaryKeyFields(table);
    const int count = table.Fields().Count();
    described.fields.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i) {
        DiagramField field;
        field.name = table.Fields().Item(i).Name();
        field.primaryKey = std::find(key.begin(), key.end(), Folded(field.name)) != key.end();
        described.fields.push_back(std::move(field));
    }
    return described;
}

int FieldRow(const DiagramTable& table, const std::string& name) {
    const std::string folded = Folded(name);
    for (std::size_t i = 0; i < table.fields.size(); ++i) {
        if (Folded(table.fields[i].name) == folded) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::string CascadeLegend(std::uint32_t attributes) {
    const bool updates = (attributes & relation_attribute::kUpdateCascade) != 0;
    const bool deletes = (attributes & relation_attribute::kDeleteCascade) != 0;
    if (updates && deletes) {
        return "cascade updates, deletes";
    }
    if (updates) {
        return "cascade updates";
    }
    if (deletes) {
        return "cascade deletes";
    }
    return {};
}

void SetEnds(DiagramRelation& relation, std::uint32_t attributes) {
    if ((attributes & relation_attribute::kDontEnforce) == 0) {
        relation.primaryEnd = EndMark::One;
        relation.foreignEnd =
            (attributes & relation_attribute::kUnique) != 0 ? EndMark::One : EndMark::Many;
    }
    // A left join keeps every row of the primary table: the foreign side's
    // rows may be missing. A right join is the other way round.
    relation.arrowToForeign = (attributes & relation_attribute::kLeft) != 0;
    relation.arrowToPrimary = (attributes & relation_attribute::kRight) != 0;
}

}  // namespace

DiagramModel BuildDiagramModel(const schema::Database& database,
                               const std::function<bool(const std::string&)>& isSelected) {
    // The selected tables, by folded name, in the database's order.
    std::unordered_map<std::string, int> selectedByName;
    std::vector<int> selectedTables;
    const auto& tableDefs = database.TableDefs();
    const int tableCount = tableDefs.Count();
    for (int i = 0; i < tableCount; ++i) {
        const std::string name = tableDefs.Item(i).Name();
        if (isSelected(name) && selectedByName.emplace(Folded(name), i).second) {
            selectedTables.push_back(i);
        }
    }

    // Which relationships are drawn, and which tables they touch.
    struct Drawn {
        int relation;
        int primaryDef;
        int foreignDef;
    };
    std::vector<Drawn> drawn;
    std::vector<bool> touched(static_cast<std::size_t>(std::max(tableCount, 0)), false);
    const auto& relations = database.Relations();
    const int relationCount = relations.Count();
    for (int i = 0; i < relationCount; ++i) {
        const schema::Relation& relation = relations.Item(i);
        const auto primary = selectedByName.find(Folded(relation.Table()));
        const auto foreign = selectedByName.find(Folded(relation.ForeignTable()));
        if (primary == selectedByName.end() || foreign == selectedByName.end()) {
            continue;
        }
        drawn.push_back({i, primary->second, foreign->second});
        touched[static_cast<std::size_t>(primary->second)] = true;
        touched[static_cast<std::size_t>(foreign->second)] = true;
    }

    DiagramModel model;
    std::unordered_map<int, int> positionOfDef;
    for (const int def : selectedTables) {
        if (!touched[static_cast<std::size_t>(def)]) {
            model.tablesNotDrawn.push_back(tableDefs.Item(def).Name());
            continue;
        }
        const schema::TableDef& table = tableDefs.Item(def);
        positionOfDef.emplace(def, static_cast<int>(model.tables.size()));
        model.tables.push_back(DescribeTable(table, table.Name()));
    }

    for (const Drawn& entry : drawn) {
        const schema::Relation& relation = relations.Item(entry.relation);
        DiagramRelation described;
        described.name = relation.Name();
        described.primaryTable = positionOfDef.at(entry.primaryDef);
        described.foreignTable = positionOfDef.at(entry.foreignDef);
        const DiagramTable& primary =
            model.tables[static_cast<std::size_t>(described.primaryTable)];
        const DiagramTable& foreign =
            model.tables[static_cast<std::size_t>(described.foreignTable)];
        const int fieldCount = relation.Fields().Count();
        for (int f = 0; f < fieldCount; ++f) {
            const schema::RelationField& field = relation.Fields().Item(f);
            FieldPair pair{field.Name(), field.ForeignName(), -1, -1};
            pair.primaryRow = FieldRow(primary, pair.primary);
            pair.foreignRow = FieldRow(foreign, pair.foreign);
            described.fields.push_back(std::move(pair));
        }
        const std::uint32_t attributes = relation.Attributes();
        SetEnds(described, attributes);
        described.legend = CascadeLegend(attributes);
        model.relations.push_back(std::move(described));
    }
    return model;
}

std::vector<std::vector<int>> DiagramModel::ConnectedGroups() const {
    // Union-find over the tables, joined by every relationship.
    std::vector<int> parent(tables.size());
    std::iota(parent.begin(), parent.end(), 0);
    const auto root = [&parent](int table) {
        while (parent[static_cast<std::size_t>(table)] != table) {
            int& up = parent[static_cast<std::size_t>(table)];
            up = parent[static_cast<std::size_t>(up)];
            table = up;
        }
        return table;
    };
    for (const DiagramRelation& relation : relations) {
        const int a = root(relation.primaryTable);
        const int b = root(relation.foreignTable);
        if (a != b) {
            parent[static_cast<std::size_t>(std::max(a, b))] = std::min(a, b);
        }
    }
    std::vector<std::vector<int>> groups;
    std::vector<int> groupOfRoot(tables.size(), -1);
    for (int table = 0; table < static_cast<int>(tables.size()); ++table) {
        int& group = groupOfRoot[static_cast<std::size_t>(root(table))];
        if (group < 0) {
            group = static_cast<int>(groups.size());
            groups.emplace_back();
        }
        groups[static_cast<std::size_t>(group)].push_back(table);
    }
    return groups;
}

std::string DiagramModel::NotDrawnLine() const {
    // Enough names to say which, few enough for one line of the page.
    constexpr std::size_t kNamed = 4;
    const std::size_t count = tablesNotDrawn.size();
    if (count == 0) {
        return {};
    }
    std::string line = count == 1 ? "1 selected table is in no relationship and is not drawn: "
                                  : std::to_string(count) +
                                        " selected tables are in no relationship and are not "
                                        "drawn: ";
    for (std::size_t i = 0; i < std::min(count, kNamed); ++i) {
        if (i > 0) {
            line += i + 1 == count ? " and " : ", ";
        }
        line += tablesNotDrawn[i];
    }
    if (count > kNamed) {
        line += " and " + std::to_string(count - kNamed) + " more";
    }
    return line + ".";
}

}  // namespace ostrel::diagram
