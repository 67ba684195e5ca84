#include "engine/report_model.h"

namespace ostrel::engine {
namespace {

constexpr std::array<KindWords, 7> kKindWords{{
    {ObjectKind::Table, "2 - Table Properties", "Table", "table", "tables"},
    {ObjectKind::Relationship, "3 - Relationship Properties", "Relationship", "relationship",
     "relationships"},
    {ObjectKind::Query, "4 - Query Properties", "Query", "query", "queries"},
    {ObjectKind::Form, "5 - Form Properties", "Form", "form", "forms"},
    {ObjectKind::Report, "6 - Report Properties", "Report", "report", "reports"},
    {ObjectKind::Macro, "7 - Macro Properties", "Macro", "macro", "macros"},
    {ObjectKind::Module, "8 - Module Properties", "Module", "module", "modules"},
}};

constexpr std::array<MemberWords, 3> kMemberWords{{
    {MemberKind::Field, "Field - ", "field", "fields"},
    {MemberKind::Index, "Index - ", "index", "indexes"},
    {MemberKind::Parameter, "Parameter - ", "parameter", "parameters"},
}};

}  // namespace

const KindWords& WordsOf(ObjectKind kind) {
    return kKindWords[static_cast<std::size_t>(kind)];
}

const MemberWords& WordsOf(MemberKind kind) {
    return kMemberWords[static_cast<std::size_t>(kind)];
}

std::span<const MemberKind> MemberKindsOf(ObjectKind kind) {
    static constexpr std::array<MemberKind, 2> kTable{MemberKind::Field, MemberKind::Index};
    static constexpr std::array<MemberKind, 1> kQuery{MemberKind::Parameter};
    switch (kind) {
        case ObjectKind::Table:
            return kTable;
        case ObjectKind::Query:
            return kQuery;
        default:
            break;
    }
    return {};
}

const MemberGroup* ReportObject::Group(MemberKind memberKind) const {
    for (const MemberGroup& group : groups) {
        if (group.kind == memberKind) {
            return &group;
        }
    }
    return nullptr;
}

}  // namespace ostrel::engine
