#include "engine/comparison_form.h"

namespace ostrel::engine {
namespace {

constexpr const char* kNoDifferences = "No differences";

void AppendChanges(TableText& text, const std::vector<PropertyChange>& changes,
                   const ValueFormatter& formatter, std::string_view rowSeparator) {
    for (const PropertyChange& change : changes) {
        const PropertyRow oldRow{change.info, change.oldValue, change.form};
        const PropertyRow newRow{change.info, change.newValue, change.form};
        text.AppendComparisonRow(change.info->rowLabel, RowText(oldRow, formatter, rowSeparator),
                                 RowText(newRow, formatter, rowSeparator));
    }
}

void AppendMembers(TableText& text, const ObjectComparison& object, const ValueFormatter& formatter,
                   std::string_view rowSeparator) {
    for (const MemberKind kind : MemberKindsOf(object.kind)) {
        for (const MemberComparison& member : object.Members(kind)) {
            text.AppendCaption(WordsOf(kind).caption, member.name);
            text.AppendChangeWord(ChangeWord(member.change));
            AppendChanges(text, member.properties, formatter, rowSeparator);
        }
    }
}

void WriteTable(ReportWriter& writer, TableText& text) {
    if (text.Empty()) {
        return;
    }
    if (writer.Target() == ReportTarget::Preview) {
        // On paper the columns are named; the CSV's form is documented.
        TableText withHeader(writer);
        withHeader.AppendComparisonRow("Property", "Old value", "New value");
        withHeader.Append(text);
        writer.PropertyTable(kFourColumns, withHeader);
    } else {
        writer.PropertyTable(kFourColumns, text);
    }
    writer.EmptyLine();
}

void WriteSection(ObjectKind kind, const std::vector<ObjectComparison>& objects,
                  ReportWriter& writer, const ValueFormatter& formatter) {
    writer.SectionHeading(std::string(WordsOf(kind).heading));
    const std::string_view rowSeparator = writer.RowSeparator();
    for (const ObjectComparison& object : objects) {
        writer.MarkedObjectHeading(WordsOf(kind).word, object.name, ChangeSymbol(object.change),
                                   ChangeWord(object.change));
        TableText text(writer);
        AppendChanges(text, object.properties, formatter, rowSeparator);
        AppendMembers(text, object, formatter, rowSeparator);
        WriteTable(writer, text);
        if (!object.textDiff.empty()) {
            writer.Code({object.textDiff.begin(), object.textDiff.end()}, 0);
            writer.EmptyLine();
        }
    }
    if (objects.empty()) {
        writer.Notice(kNoDifferences);
    }
    writer.SectionEnd();
}

}  // namespace

std::string_view ChangeSymbol(Change change) {
    switch (change) {
        case Change::Added:
            return "+";
        case Change::Removed:
            return "\u2212";  // minus sign
        case Change::Changed:
            return "\u0394";  // capital delta
        case Change::Unchanged:
            break;
    }
    return "=";
}

void WriteComparison(const Comparison& comparison, ReportWriter& writer,
                     const ValueFormatter& formatter) {
    writer.SectionHeading("1 - Database Properties");
    TableText text(writer);
    AppendChanges(text, comparison.database, formatter, writer.RowSeparator());
    WriteTable(writer, text);
    if (comparison.database.empty()) {
        writer.Notice(kNoDifferences);
    }
    writer.SectionEnd();
    for (const ObjectKind kind : kObjectKinds) {
        // Forms, reports, macros and modules have sections only where there
        // is something to say about them.
        if (!IsApplicationKind(kind) || !comparison.Objects(kind).empty()) {
            WriteSection(kind, comparison.Objects(kind), writer, formatter);
        }
    }
}

}  // namespace ostrel::engine
