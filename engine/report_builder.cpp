#include "engine/report_builder.h"

#include <algorithm>

#include "components/schema/schema_error.h"
#include "engine/xml_layout.h"

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

const schema::Collection<schema::AccessObject>& AccessObjects(const schema::Database& database,
                                                              ObjectKind kind) {
    switch (kind) {
        case ObjectKind::Form:
            return database.Forms();
        case ObjectKind::Report:
            return database.Reports();
        default:
            return database.Macros();
    }
}

template <class T>
std::vector<int> Documented(const schema::Collection<T>& items) {
    std::vector<int> positions;
    const int count = items.Count();
    for (int i = 0; i < count; ++i) {
        if (!items.Item(i).Name().starts_with('~')) {
            positions.push_back(i);
        }
    }
    return positions;
}

constexpr std::string_view kBinaryMacroNote =
    "its actions are kept in a binary form that cannot be read";

}  // namespace

const std::vector<int>& ReportBuilder::Listed(ObjectKind kind) const {
    const auto slot = static_cast<std::size_t>(kind) - static_cast<std::size_t>(ObjectKind::Form);
    std::optional<std::vector<int>>& listed = listed_.at(slot);
    if (!listed) {
        listed = kind == ObjectKind::Module ? Documented(database_.Modules())
                                            : Documented(AccessObjects(database_, kind));
    }
    return *listed;
}

const schema::AccessObject& ReportBuilder::AccessObjectAt(ObjectKind kind, int position) const {
    return AccessObjects(database_, kind).Item(Listed(kind).at(static_cast<std::size_t>(position)));
}

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
        case ObjectKind::Form:
        case ObjectKind::Report:
        case ObjectKind::Macro:
        case ObjectKind::Module:
            return static_cast<int>(Listed(kind).size());
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
        case ObjectKind::Form:
        case ObjectKind::Report:
        case ObjectKind::Macro:
            return AccessObjectAt(kind, position).Name();
        case ObjectKind::Module:
            return database_.Modules()
                .Item(Listed(kind).at(static_cast<std::size_t>(position)))
                .Name();
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
        case ObjectKind::Form:
        case ObjectKind::Report:
        case ObjectKind::Macro:
            return BuildAccessObject(kind, AccessObjectAt(kind, position));
        case ObjectKind::Module:
            return BuildModule(
                database_.Modules().Item(Listed(kind).at(static_cast<std::size_t>(position))));
    }
    return {};
}

// Forms and reports: their dates and whether they have a module (their
// designs are not documented). Macros: their dates and, for one kept as XML,
// that XML laid out.
ReportObject ReportBuilder::BuildAccessObject(ObjectKind kind,
                                              const schema::AccessObject& item) const {
    ReportObject object;
    object.kind = kind;
    object.name = item.Name();
    object.properties = AccessObjectRows(item, switches_);
    object.unlisted = item.Problem();
    // The actions: the XML, or for a binary macro the note that says why
    // there is none.
    if (kind == ObjectKind::Macro && !object.unlisted &&
        switches_.GetReportSwitch("Macro Actions")) {
        if (std::optional<std::string> xml = item.MacroXml()) {
            object.text = ObjectText{ObjectText::Form::Xml, LayOutXml(*xml)};
        } else {
            object.note = std::string(kBinaryMacroNote);
        }
    }
    return object;
}

// A module's rows and, when switched on, its whole stored text; the part the
// editor hides is marked so that the paged and CSV forms leave it out.
ReportObject ReportBuilder::BuildModule(const schema::VbaModule& module) const {
    ReportObject object;
    object.kind = ObjectKind::Module;
    object.name = module.Name();
    object.properties = ModuleRows(module, switches_);
    object.unlisted = module.Problem();
    if (!object.unlisted && switches_.GetReportSwitch("Module Code")) {
        try {
            ObjectText text{ObjectText::Form::Code, module.Source()};
            text.hiddenLength = schema::HiddenHeaderLength(text.text);
            object.text = std::move(text);
        } catch (const schema::SchemaError& e) {
            object.unlisted = e.what();
        }
    }
    return object;
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
