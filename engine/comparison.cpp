#include "engine/comparison.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "engine/object_name.h"

namespace ostrel::engine {
namespace {

bool SameValue(const schema::Variant& a, const schema::Variant& b) {
    const auto absent = [](const schema::Variant& v) {
        return schema::IsNull(v) || schema::IsEmpty(v);
    };
    if (absent(a) || absent(b)) {
        return absent(a) && absent(b);
    }
    const auto* x = std::get_if<double>(&a);
    const auto* y = std::get_if<double>(&b);
    if (x != nullptr && y != nullptr && std::isnan(*x) && std::isnan(*y)) {
        return true;
    }
    return a == b;
}

// The properties whose values differ. Rows are paired by their switch.
std::vector<PropertyChange> Differences(PropertyRows oldRows, PropertyRows newRows,
                                        const ComparisonOptions& options) {
    std::vector<PropertyChange> changes;
    for (PropertyRow& oldRow : oldRows) {
        if (oldRow.changesWithUse && !options.volatileProperties) {
            continue;
        }
        for (PropertyRow& newRow : newRows) {
            if (newRow.info == oldRow.info) {
                if (!SameValue(oldRow.value, newRow.value)) {
                    changes.push_back({oldRow.info, std::move(oldRow.value),
                                       std::move(newRow.value), oldRow.form});
                }
                break;
            }
        }
    }
    return changes;
}

template <class T>
std::unordered_map<std::string, int> KeysOf(const schema::Collection<T>& items) {
    std::unordered_map<std::string, int> keys;
    const int count = items.Count();
    keys.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        keys.emplace(NameKey(items.Item(i).Name()), i);
    }
    return keys;
}

// Pairs the items of two collections by name. compare(oldItem, newItem, name)
// gives the pair's comparison; unmatched items are removed or added, and
// describe(newItem, result) fills an added one with what it holds.
template <class T, class Result, class Compare, class Selected, class Describe>
std::vector<Result> PairByName(const schema::Collection<T>& oldItems,
                               const schema::Collection<T>& newItems, const Selected& selected,
                               const Selected& selectedAdded, const ComparisonOptions& options,
                               const Compare& compare, const Describe& describe) {
    std::unordered_map<std::string, int> newKeys = KeysOf(newItems);
    std::vector<bool> matched(static_cast<std::size_t>(newItems.Count()), false);
    std::vector<Result> results;
    const auto named = [](const std::string& name, Change change) {
        Result result;
        result.name = name;
        result.change = change;
        return result;
    };
    const auto keep = [&](Result&& result) {
        if (result.change != Change::Unchanged || options.listUnchanged) {
            results.push_back(std::move(result));
        }
    };
    const int oldCount = oldItems.Count();
    for (int i = 0; i < oldCount; ++i) {
        const T& oldItem = oldItems.Item(i);
        std::string name = oldItem.Name();
        const auto found = newKeys.find(NameKey(name));
        if (found != newKeys.end()) {
            matched[static_cast<std::size_t>(found->second)] = true;
        }
        if (!selected(name)) {
            continue;
        }
        if (found == newKeys.end()) {
            keep(named(std::move(name), Change::Removed));
        } else {
            keep(compare(oldItem, newItems.Item(found->second), std::move(name)));
        }
    }
    const int newCount = newItems.Count();
    for (int i = 0; i < newCount; ++i) {
        if (!matched[static_cast<std::size_t>(i)]) {
            const T& newItem = newItems.Item(i);
            std::string name = newItem.Name();
            if (selectedAdded(name)) {
                Result result = named(std::move(name), Change::Added);
                describe(newItem, result);
                keep(std::move(result));
            }
        }
    }
    return results;
}

// The rows of an added item, each with the new value alone.
std::vector<PropertyChange> AddedRows(PropertyRows rows) {
    std::vector<PropertyChange> changes;
    changes.reserve(rows.size());
    for (PropertyRow& row : rows) {
        changes.push_back({row.info, schema::EmptyValue{}, std::move(row.value), row.form});
    }
    return changes;
}

// Every member of an added object or a changed one's added member, with its
// rows.
template <class T, class RowsOf>
std::vector<MemberComparison> AddedMembers(const schema::Collection<T>& items, RowsOf rowsOf,
                                           const ReportSwitches& switches) {
    std::vector<MemberComparison> members;
    const int count = items.Count();
    for (int i = 0; i < count; ++i) {
        const T& item = items.Item(i);
        members.push_back({item.Name(), Change::Added, AddedRows(rowsOf(item, switches))});
    }
    return members;
}

using NameTest = std::function<bool(const std::string&)>;
const NameTest kEverything = [](const std::string& /*name*/) { return true; };

template <class T, class RowsOf>
std::vector<MemberComparison> CompareMembers(const schema::Collection<T>& oldItems,
                                             const schema::Collection<T>& newItems, RowsOf rowsOf,
                                             const ReportSwitches& switches,
                                             const ComparisonOptions& options) {
    return PairByName<T, MemberComparison>(
        oldItems, newItems, kEverything, kEverything, options,
        [&](const T& oldItem, const T& newItem, std::string name) {
            MemberComparison member;
            member.name = std::move(name);
            member.properties =
                Differences(rowsOf(oldItem, switches), rowsOf(newItem, switches), options);
            member.change = member.properties.empty() ? Change::Unchanged : Change::Changed;
            return member;
        },
        [&](const T& newItem, MemberComparison& member) {
            member.properties = AddedRows(rowsOf(newItem, switches));
        });
}

// A field's position counts as changed only when its place among the fields
// both files have changed: fields added or removed before it move it without
// any change of its own.
void IgnoreShiftedPositions(const schema::Collection<schema::Field>& oldFields,
                            const schema::Collection<schema::Field>& newFields,
                            std::vector<MemberComparison>& members,
                            const ComparisonOptions& options) {
    const SwitchInfo* position = FindSwitch("Field OrdinalPosition");
    const auto ranks = [](const schema::Collection<schema::Field>& fields,
                          const std::unordered_map<std::string, int>& others) {
        std::vector<std::pair<std::int64_t, std::string>> common;
        for (int i = 0; i < fields.Count(); ++i) {
            std::string key = NameKey(fields.Item(i).Name());
            if (others.count(key) != 0) {
                common.emplace_back(fields.Item(i).OrdinalPosition(), std::move(key));
            }
        }
        std::stable_sort(common.begin(), common.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        std::unordered_map<std::string, std::size_t> rank;
        for (std::size_t i = 0; i < common.size(); ++i) {
            rank.emplace(common[i].second, i);
        }
        return rank;
    };
    bool any = false;
    for (const MemberComparison& member : members) {
        for (const PropertyChange& change : member.properties) {
            any = any || (member.change == Change::Changed && change.info == position);
        }
    }
    if (!any) {
        return;
    }
    const auto oldRanks = ranks(oldFields, KeysOf(newFields));
    const auto newRanks = ranks(newFields, KeysOf(oldFields));
    for (MemberComparison& member : members) {
        if (member.change != Change::Changed) {
            continue;
        }
        const std::string key = NameKey(member.name);
        const auto oldRank = oldRanks.find(key);
        const auto newRank = newRanks.find(key);
        if (oldRank == oldRanks.end() || newRank == newRanks.end() ||
            oldRank->second != newRank->second) {
            continue;
        }
        std::erase_if(member.properties,
                      [position](const PropertyChange& change) { return change.info == position; });
        if (member.properties.empty()) {
            member.change = Change::Unchanged;
        }
    }
    if (!options.listUnchanged) {
        std::erase_if(members, [](const MemberComparison& member) {
            return member.change == Change::Unchanged;
        });
    }
}

bool AnyChange(const std::vector<MemberComparison>& members) {
    for (const MemberComparison& member : members) {
        if (member.change != Change::Unchanged) {
            return true;
        }
    }
    return false;
}

void Settle(ObjectComparison& object) {
    const bool changed = !object.properties.empty() || AnyChange(object.fields) ||
                         AnyChange(object.indexes) || AnyChange(object.parameters);
    object.change = changed ? Change::Changed : Change::Unchanged;
}

}  // namespace

std::string_view ChangeWord(Change change) {
    switch (change) {
        case Change::Added:
            return "added";
        case Change::Removed:
            return "removed";
        case Change::Changed:
            return "changed";
        case Change::Unchanged:
            break;
    }
    return "unchanged";
}

bool Comparison::HasDifferences() const {
    if (!database.empty()) {
        return true;
    }
    for (const auto* list : {&tables, &relationships, &queries}) {
        for (const ObjectComparison& object : *list) {
            if (object.change != Change::Unchanged) {
                return true;
            }
        }
    }
    return false;
}

Comparison CompareDatabases(const schema::Database& oldDatabase,
                            const schema::Database& newDatabase, const ReportSwitches& switches,
                            const ObjectFilter& filter, const ComparisonOptions& options,
                            const ComparisonProgress& progress) {
    const auto tell = [&progress](const char* kind, const std::string& name) {
        if (progress) {
            progress(kind, name);
        }
    };
    Comparison comparison;
    comparison.database = Differences(DatabaseRows(oldDatabase, switches),
                                      DatabaseRows(newDatabase, switches), options);

    comparison.tables = PairByName<schema::TableDef, ObjectComparison>(
        oldDatabase.TableDefs(), newDatabase.TableDefs(), filter.table,
        filter.addedTable ? filter.addedTable : filter.table, options,
        [&](const schema::TableDef& oldTable, const schema::TableDef& newTable, std::string name) {
            tell("table", name);
            ObjectComparison table;
            table.name = std::move(name);
            table.properties =
                Differences(TableRows(oldTable, switches), TableRows(newTable, switches), options);
            // The fields of a linked table whose source cannot be read are
            // unknown: they are not compared (the run warns about the table).
            if (!oldTable.LinkProblem() && !newTable.LinkProblem()) {
                table.fields = CompareMembers(oldTable.Fields(), newTable.Fields(), FieldRows,
                                              switches, options);
                IgnoreShiftedPositions(oldTable.Fields(), newTable.Fields(), table.fields, options);
                table.indexes = CompareMembers(oldTable.Indexes(), newTable.Indexes(), IndexRows,
                                               switches, options);
            }
            Settle(table);
            return table;
        },
        [&](const schema::TableDef& newTable, ObjectComparison& table) {
            table.properties = AddedRows(TableRows(newTable, switches));
            if (!newTable.LinkProblem()) {
                table.fields = AddedMembers(newTable.Fields(), FieldRows, switches);
                table.indexes = AddedMembers(newTable.Indexes(), IndexRows, switches);
            }
        });

    comparison.relationships = PairByName<schema::Relation, ObjectComparison>(
        oldDatabase.Relations(), newDatabase.Relations(), kEverything, kEverything, options,
        [&](const schema::Relation& oldRelation, const schema::Relation& newRelation,
            std::string name) {
            tell("relationship", name);
            ObjectComparison relation;
            relation.name = std::move(name);
            relation.properties = Differences(RelationRows(oldRelation, switches),
                                              RelationRows(newRelation, switches), options);
            Settle(relation);
            return relation;
        },
        [&](const schema::Relation& newRelation, ObjectComparison& relation) {
            relation.properties = AddedRows(RelationRows(newRelation, switches));
        });

    comparison.queries = PairByName<schema::QueryDef, ObjectComparison>(
        oldDatabase.QueryDefs(), newDatabase.QueryDefs(), filter.query,
        filter.addedQuery ? filter.addedQuery : filter.query, options,
        [&](const schema::QueryDef& oldQuery, const schema::QueryDef& newQuery, std::string name) {
            tell("query", name);
            ObjectComparison query;
            query.name = std::move(name);
            query.properties =
                Differences(QueryRows(oldQuery, switches), QueryRows(newQuery, switches), options);
            query.parameters = CompareMembers(oldQuery.Parameters(), newQuery.Parameters(),
                                              ParameterRows, switches, options);
            Settle(query);
            return query;
        },
        [&](const schema::QueryDef& newQuery, ObjectComparison& query) {
            query.properties = AddedRows(QueryRows(newQuery, switches));
            query.parameters = AddedMembers(newQuery.Parameters(), ParameterRows, switches);
        });
    return comparison;
}

}  // namespace ostrel::engine
