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

void AppendMembers(TableText& text, std::string_view captionPrefix,
                   const std::vector<MemberComparison>& members, const ValueFormatter& formatter,
                   std::string_view rowSeparator) {
    for (const MemberComparison& member : members) {
        text.AppendCaption(captionPrefix, member.name);
        text.AppendChangeWord(ChangeWord(member.change));
        AppendChanges(text, member.properties, formatter, rowSeparator);
    }
}

void WriteTable(ReportWriter& writer, const TableText& text) {
    if (text.Empty()) {
        return;
    }
    if (writer.Target() == ReportTarget::Preview) {
        // On paper the columns are named; the CSV's form is documented.
        TableText withHeader(writer);
        withHeader.AppendComparisonRow("Property", "Old value", "New value");
        writer.PropertyTable(kFourColumnFormat, withHeader.Text() + text.Text());
    } else {
        writer.PropertyTable(kFourColumnFormat, text.Text());
    }
    writer.EmptyLine();
}

void WriteSection(const std::vector<ObjectComparison>& objects, const std::string& heading,
                  std::string_view headingPrefix, ReportWriter& writer,
                  const ValueFormatter& formatter) {
    writer.SectionHeading(heading);
    const std::string_view rowSeparator = writer.RowSeparator();
    TableText text(writer);
    for (const ObjectComparison& object : objects) {
        writer.MarkedObjectHeading(std::string(headingPrefix) + object.name,
                                   ChangeSymbol(object.change), ChangeWord(object.change));
        text.Clear();
        AppendChanges(text, object.properties, formatter, rowSeparator);
        AppendMembers(text, "Field - ", object.fields, formatter, rowSeparator);
        AppendMembers(text, "Index - ", object.indexes, formatter, rowSeparator);
        AppendMembers(text, "Parameter - ", object.parameters, formatter, rowSeparator);
        WriteTable(writer, text);
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

    WriteSection(comparison.tables, "2 - Table Properties", "Table : ", writer, formatter);
    WriteSection(comparison.relationships, "3 - Relationship Properties", "Relationship : ", writer,
                 formatter);
    WriteSection(comparison.queries, "4 - Query Properties", "Query : ", writer, formatter);
}

}  // namespace ostrel::engine
