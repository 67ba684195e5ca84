#include "engine/comparison.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "engine/object_name.h"
#include "engine/report_builder.h"
#include "engine/text_diff.h"

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
std::vector<PropertyChange> Differences(const PropertyRows& oldRows, const PropertyRows& newRows,
                                        const ComparisonOptions& options) {
    std::vector<PropertyChange> changes;
    for (const PropertyRow& oldRow : oldRows) {
        if (oldRow.changesWithUse && !options.volatileProperties) {
            continue;
        }
        for (const PropertyRow& newRow : newRows) {
            if (newRow.info == oldRow.info) {
                if (!SameValue(oldRow.value, newRow.value)) {
                    changes.push_back({oldRow.info, oldRow.value, newRow.value, oldRow.form});
                }
                break;
            }
        }
    }
    return changes;
}

// The rows of an added item, each with the new value alone.
std::vector<PropertyChange> AddedRows(const PropertyRows& rows) {
    std::vector<PropertyChange> changes;
    changes.reserve(rows.size());
    for (const PropertyRow& row : rows) {
        changes.push_back({row.info, schema::EmptyValue{}, row.value, row.form});
    }
    return changes;
}

// Pairs two lists by name, as Access matches names. Calls pair(oldIndex,
// newIndex) for each name both hold, removed(oldIndex) and added(newIndex)
// for the others: old ones in their order, then the new ones left over.
template <class OldName, class NewName, class Pair, class Removed, class Added>
void PairByName(int oldCount, int newCount, const OldName& oldName, const NewName& newName,
                const Pair& pair, const Removed& removed, const Added& added) {
    std::unordered_map<std::string, int> newKeys;
    newKeys.reserve(static_cast<std::size_t>(std::max(newCount, 0)));
    for (int i = 0; i < newCount; ++i) {
        newKeys.emplace(NameKey(newName(i)), i);
    }
    std::vector<bool> matched(static_cast<std::size_t>(std::max(newCount, 0)), false);
    for (int i = 0; i < oldCount; ++i) {
        const auto found = newKeys.find(NameKey(oldName(i)));
        if (found == newKeys.end()) {
            removed(i);
        } else {
            matched[static_cast<std::size_t>(found->second)] = true;
            pair(i, found->second);
        }
    }
    for (int i = 0; i < newCount; ++i) {
        if (!matched[static_cast<std::size_t>(i)]) {
            added(i);
        }
    }
}

// The place of each member both lists hold among those members, by
// OrdinalPosition, keyed by name.
std::unordered_map<std::string, std::size_t> CommonRanks(const std::vector<Member>& members,
                                                         const std::vector<Member>& others,
                                                         const SwitchInfo* position) {
    std::unordered_map<std::string, bool> otherNames;
    for (const Member& other : others) {
        otherNames.emplace(NameKey(other.name), true);
    }
    std::vector<std::pair<std::int64_t, std::string>> common;
    for (const Member& member : members) {
        std::string key = NameKey(member.name);
        if (otherNames.count(key) == 0) {
            continue;
        }
        for (const PropertyRow& row : member.rows) {
            if (row.info == position) {
                const auto* value = std::get_if<std::int64_t>(&row.value);
                common.emplace_back(value != nullptr ? *value : 0, std::move(key));
                break;
            }
        }
    }
    std::stable_sort(common.begin(), common.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::unordered_map<std::string, std::size_t> ranks;
    for (std::size_t i = 0; i < common.size(); ++i) {
        ranks.emplace(common[i].second, i);
    }
    return ranks;
}

// A field's position counts as changed only when its place among the fields
// both files have changed: fields added or removed before it move it without
// any change of its own.
void IgnoreShiftedPositions(const std::vector<Member>& oldFields,
                            const std::vector<Member>& newFields,
                            std::vector<MemberComparison>& members) {
    const SwitchInfo* position = FindSwitch("Field OrdinalPosition");
    const auto moved = [position](const MemberComparison& member) {
        return member.change == Change::Changed &&
               std::any_of(member.properties.begin(), member.properties.end(),
                           [position](const PropertyChange& c) { return c.info == position; });
    };
    if (std::none_of(members.begin(), members.end(), moved)) {
        return;
    }
    const auto oldRanks = CommonRanks(oldFields, newFields, position);
    const auto newRanks = CommonRanks(newFields, oldFields, position);
    for (MemberComparison& member : members) {
        if (!moved(member)) {
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
}

std::vector<MemberComparison> CompareMembers(MemberKind kind, const std::vector<Member>& oldMembers,
                                             const std::vector<Member>& newMembers,
                                             const ComparisonOptions& options) {
    std::vector<MemberComparison> members;
    const auto name = [](const std::vector<Member>& list) {
        return [&list](int i) { return list[static_cast<std::size_t>(i)].name; };
    };
    PairByName(
        static_cast<int>(oldMembers.size()), static_cast<int>(newMembers.size()), name(oldMembers),
        name(newMembers),
        [&](int o, int n) {
            const Member& oldMember = oldMembers[static_cast<std::size_t>(o)];
            const Member& newMember = newMembers[static_cast<std::size_t>(n)];
            MemberComparison member{oldMember.name, Change::Unchanged,
                                    Differences(oldMember.rows, newMember.rows, options)};
            member.change = member.properties.empty() ? Change::Unchanged : Change::Changed;
            if (member.change != Change::Unchanged || options.listUnchanged) {
                members.push_back(std::move(member));
            }
        },
        [&](int o) {
            members.push_back({oldMembers[static_cast<std::size_t>(o)].name, Change::Removed, {}});
        },
        [&](int n) {
            const Member& added = newMembers[static_cast<std::size_t>(n)];
            members.push_back({added.name, Change::Added, AddedRows(added.rows)});
        });
    if (kind == MemberKind::Field) {
        IgnoreShiftedPositions(oldMembers, newMembers, members);
    }
    if (!options.listUnchanged) {
        std::erase_if(members, [](const MemberComparison& member) {
            return member.change == Change::Unchanged;
        });
    }
    // Most objects keep a few changed members of many: the comparison is
    // held whole until it is written, so it holds no room for the rest.
    members.shrink_to_fit();
    return members;
}

const std::vector<Member>& MembersOf(const ReportObject& object, MemberKind kind) {
    static const std::vector<Member> kNone;
    const MemberGroup* group = object.Group(kind);
    return group != nullptr ? group->members : kNone;
}

bool AnyChange(const std::vector<MemberComparison>& members) {
    return std::any_of(members.begin(), members.end(), [](const MemberComparison& member) {
        return member.change != Change::Unchanged;
    });
}

ObjectComparison CompareObjects(const ReportObject& oldObject, const ReportObject& newObject,
                                const ComparisonOptions& options) {
    ObjectComparison compared;
    compared.kind = oldObject.kind;
    compared.name = oldObject.name;
    compared.properties = Differences(oldObject.properties, newObject.properties, options);
    bool changed = !compared.properties.empty();
    // The members of a linked table whose source cannot be read are unknown:
    // they are not compared (the run warns about the table).
    if (!oldObject.unlisted && !newObject.unlisted) {
        for (const MemberKind kind : MemberKindsOf(oldObject.kind)) {
            compared.Members(kind) = CompareMembers(kind, MembersOf(oldObject, kind),
                                                    MembersOf(newObject, kind), options);
            changed = changed || AnyChange(compared.Members(kind));
        }
    }
    if (oldObject.text || newObject.text) {
        const std::string_view none;
        compared.textDiff = UnifiedDiff(oldObject.text ? oldObject.text->text : none,
                                        newObject.text ? newObject.text->text : none);
        changed = changed || !compared.textDiff.empty();
    }
    compared.change = changed ? Change::Changed : Change::Unchanged;
    return compared;
}

ObjectComparison Added(const ReportObject& object) {
    ObjectComparison added;
    added.kind = object.kind;
    added.name = object.name;
    added.change = Change::Added;
    added.properties = AddedRows(object.properties);
    for (const MemberKind kind : MemberKindsOf(object.kind)) {
        for (const Member& member : MembersOf(object, kind)) {
            added.Members(kind).push_back({member.name, Change::Added, AddedRows(member.rows)});
        }
    }
    return added;
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

std::vector<MemberComparison>& ObjectComparison::Members(MemberKind memberKind) {
    switch (memberKind) {
        case MemberKind::Field:
            return fields;
        case MemberKind::Index:
            return indexes;
        case MemberKind::Parameter:
            break;
    }
    return parameters;
}

const std::vector<MemberComparison>& ObjectComparison::Members(MemberKind memberKind) const {
    return const_cast<ObjectComparison*>(this)->Members(memberKind);  // NOLINT
}

std::vector<ObjectComparison>& Comparison::Objects(ObjectKind kind) {
    switch (kind) {
        case ObjectKind::Table:
            return tables;
        case ObjectKind::Relationship:
            return relationships;
        case ObjectKind::Query:
            break;
        case ObjectKind::Form:
            return forms;
        case ObjectKind::Report:
            return reports;
        case ObjectKind::Macro:
            return macros;
        case ObjectKind::Module:
            return modules;
    }
    return queries;
}

const std::vector<ObjectComparison>& Comparison::Objects(ObjectKind kind) const {
    return const_cast<Comparison*>(this)->Objects(kind);  // NOLINT
}

bool Comparison::HasDifferences() const {
    if (!database.empty()) {
        return true;
    }
    for (const ObjectKind kind : kObjectKinds) {
        for (const ObjectComparison& object : Objects(kind)) {
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
    const ReportBuilder oldReport(oldDatabase, switches);
    const ReportBuilder newReport(newDatabase, switches);
    WritingPlace place;
    Comparison comparison;
    comparison.database =
        Differences(oldReport.DatabaseProperties(), newReport.DatabaseProperties(), options);
    for (const ObjectKind kind : kObjectKinds) {
        std::vector<ObjectComparison>& results = comparison.Objects(kind);
        const auto keep = [&](ObjectComparison&& result) {
            if (result.change != Change::Unchanged || options.listUnchanged) {
                results.push_back(std::move(result));
            }
        };
        const auto selected = [&](const std::string& name) {
            return !filter.selected || filter.selected(kind, name);
        };
        const auto selectedAdded = [&](const std::string& name) {
            return filter.selectedAdded ? filter.selectedAdded(kind, name) : selected(name);
        };
        PairByName(
            oldReport.Count(kind), newReport.Count(kind),
            [&](int i) { return oldReport.NameAt(kind, i); },
            [&](int i) { return newReport.NameAt(kind, i); },
            [&](int o, int n) {
                const std::string name = oldReport.NameAt(kind, o);
                if (!selected(name)) {
                    return;
                }
                if (progress) {
                    progress(kind, name);
                }
                keep(CompareObjects(oldReport.Build(kind, o, place),
                                    newReport.Build(kind, n, place), options));
            },
            [&](int o) {
                std::string name = oldReport.NameAt(kind, o);
                if (selected(name)) {
                    ObjectComparison removed;
                    removed.kind = kind;
                    removed.name = std::move(name);
                    removed.change = Change::Removed;
                    keep(std::move(removed));
                }
            },
            [&](int n) {
                if (selectedAdded(newReport.NameAt(kind, n))) {
                    keep(Added(newReport.Build(kind, n, place)));
                }
            });
    }
    return comparison;
}

}  // namespace ostrel::engine
