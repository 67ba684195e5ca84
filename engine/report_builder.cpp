#include "engine/report_builder.h"

#include <algorithm>

namespace ostrel::engine {
namespace {

// Each member with its rows, in the collection's order.
template <class T, class RowsOf>
MemberGroup ReadMembers(MemberKind kind, const schema::Collection<T>& items, RowsOf rowsOf,
                        const ReportSwitches& switches, WritingPlace& place) {
    MemberGroup group{kind, {}};
    const int count = items.Count();
    group.members.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i) {
        place.Member(WordsOf(kind).lower, i);
        const T& item = items.Item(i);
        std::string name = item.Name();
        place.MemberName(name);
        group.members.push_back({std::move(name), rowsOf(item, switches)});
    }
    place.ClearMember();
    return group;
}

}  // namespace

PropertyRows ReportBuilder::DatabaseProperties() const {
    return DatabaseRows(database_, switches_);
}

int ReportBuilder::Count(ObjectKind kind) const {
    switch (kind) {
        case ObjectKind::Table:
            return database_.TableDefs().Count();
        case ObjectKind::Relationship:
            return database_.Relations().Count();
        case ObjectKind::Query:
            return database_.QueryDefs().Count();
    }
    return 0;
}

std::string ReportBuilder::NameAt(ObjectKind kind, int position) const {
    switch (kind) {
        case ObjectKind::Table:
            return database_.TableDefs().Item(position).Name();
        case ObjectKind::Relationship:
            return database_.Relations().Item(position).Name();
        case ObjectKind::Query:
            return database_.QueryDefs().Item(position).Name();
    }
    return {};
}

ReportObject ReportBuilder::Build(ObjectKind kind, int position, WritingPlace& place) const {
    switch (kind) {
        case ObjectKind::Table:
            return BuildTable(database_.TableDefs().Item(position), place);
        case ObjectKind::Relationship: {
            const schema::Relation& relation = database_.Relations().Item(position);
            ReportObject object;
            object.kind = kind;
            object.name = relation.Name();
            object.properties = RelationRows(relation, switches_);
            return object;
        }
        case ObjectKind::Query:
            return BuildQuery(database_.QueryDefs().Item(position), place);
    }
    return {};
}

ReportObject ReportBuilder::BuildTable(const schema::TableDef& table, WritingPlace& place) const {
    ReportObject object;
    object.kind = ObjectKind::Table;
    object.name = table.Name();
    object.properties = TableRows(table, switches_);
    if (auto problem = table.LinkProblem()) {
        object.unlisted = std::move(problem);
        return object;
    }
    object.groups.push_back(
        ReadMembers(MemberKind::Field, table.Fields(), FieldRows, switches_, place));
    object.groups.push_back(
        ReadMembers(MemberKind::Index, table.Indexes(), IndexRows, switches_, place));
    return object;
}

ReportObject ReportBuilder::BuildQuery(const schema::QueryDef& query, WritingPlace& place) const {
    ReportObject object;
    object.kind = ObjectKind::Query;
    object.name = query.Name();
    object.properties = QueryRows(query, switches_);
    object.groups.push_back(
        ReadMembers(MemberKind::Parameter, query.Parameters(), ParameterRows, switches_, place));
    return object;
}

}  // namespace ostrel::engine
