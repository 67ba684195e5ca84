#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/property_rows.h"

namespace ostrel::engine {

// The kinds of object the report documents, one numbered section each, in
// the report's order. The application's objects (forms to modules) have
// sections only in reports of databases that hold objects of their kind.
enum class ObjectKind { Table, Relationship, Query, Form, Report, Macro, Module };

// The kinds of member an object lists in blocks of its own.
enum class MemberKind { Field, Index, Parameter };

// What the report calls a kind of object, in its headings, status texts and
// structured form.
struct KindWords {
    ObjectKind kind;
    std::string_view heading;  // the section's heading: "2 - Table Properties"
    std::string_view word;     // in an object's heading: "Table" ("Table : Orders")
    std::string_view lower;    // in status texts and messages: "table"
    std::string_view jsonKey;  // the structured form's member: "tables"
};

const KindWords& WordsOf(ObjectKind kind);
inline constexpr std::array<ObjectKind, 7> kObjectKinds{
    ObjectKind::Table,  ObjectKind::Relationship, ObjectKind::Query, ObjectKind::Form,
    ObjectKind::Report, ObjectKind::Macro,        ObjectKind::Module};

// Forms, reports, macros and modules: their sections are written only when
// the database holds objects of the kind.
constexpr bool IsApplicationKind(ObjectKind kind) {
    return kind == ObjectKind::Form || kind == ObjectKind::Report || kind == ObjectKind::Macro ||
           kind == ObjectKind::Module;
}

struct MemberWords {
    MemberKind kind;
    std::string_view caption;  // the block's first cell: "Field - " and the name
    std::string_view lower;    // "field"
    std::string_view jsonKey;  // "fields"
};

const MemberWords& WordsOf(MemberKind kind);

// The kinds of member an object of the kind lists, in the report's order.
std::span<const MemberKind> MemberKindsOf(ObjectKind kind);

// One field, index or parameter: its name and the rows whose switches are on.
struct Member {
    std::string name;
    PropertyRows rows;
};

// The members of one kind, in the order the database lists them.
struct MemberGroup {
    MemberKind kind;
    std::vector<Member> members;
};

// A long text an object shows as it is, after its rows: a module's code, a
// macro's XML.
struct ObjectText {
    enum class Form { Code, Xml };
    Form form = Form::Code;
    std::string text;   // UTF-8, line ends as stored
    int firstLine = 1;  // the number the code's first line has in the editor
    // The length of text's start that the editor does not show (a module's
    // hidden header): the structured form keeps it, the paged and CSV forms
    // begin after it, with line firstLine.
    std::size_t hiddenLength = 0;

    std::string_view Shown() const { return std::string_view(text).substr(hiddenLength); }
};

// One table, relationship or query as the report documents it: the switches
// are applied (a row whose switch is off is absent), members keep their names
// whatever is switched.
struct ReportObject {
    ObjectKind kind = ObjectKind::Table;
    std::string name;
    PropertyRows properties;
    // Tables: fields, then indexes. Queries: parameters. Relationships: none.
    std::vector<MemberGroup> groups;
    // For a linked table whose source cannot be read: why, as a clause; its
    // groups are then empty.
    std::optional<std::string> unlisted;
    // A module's code or a macro's XML, when switched on and readable.
    std::optional<ObjectText> text;
    // Forms, reports, macros and modules: what the report says of a part that
    // cannot be read or shown (a damaged store, a binary macro's actions).
    std::optional<std::string> note;

    const MemberGroup* Group(MemberKind memberKind) const;
};

}  // namespace ostrel::engine
