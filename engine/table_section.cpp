#include "engine/table_section.h"

#include "engine/field_block.h"
#include "engine/index_block.h"

namespace ostrel::engine {
namespace {

// In place of the field and index blocks of a linked table whose source
// cannot be read: one row saying why.
bool AppendUnlistedFields(const std::string& problem, TableText& fieldText) {
    fieldText.AppendRow("Fields", "cannot be listed because " + problem);
    return true;
}

void WriteTableBlock(ReportWriter& writer, const std::string& name, const TableText& tableText,
                     const TableText& fieldText, const TableText& indexText) {
    writer.ObjectHeading("Table : " + name);
    for (const TableText* text : {&tableText, &fieldText, &indexText}) {
        if (writer.Target() == ReportTarget::Preview) {
            if (!text->Empty()) {
                writer.PropertyTable(kThreeColumnFormat, text->Text());
            }
            writer.EmptyLine();
        } else if (!text->Empty()) {
            writer.PropertyTable(kThreeColumnFormat, text->Text());
            writer.EmptyLine();
        }
    }
}

}  // namespace

void DocumentTables(const schema::Database& database, SectionContext& context) {
    ReportWriter& writer = context.writer;
    context.place.Stage("writing the table properties");
    writer.SectionHeading("2 - Table Properties");
    context.AdvancePass();

    TableText tableText(writer);
    TableText fieldText(writer);
    TableText indexText(writer);
    bool anyTableWritten = false;
    const int count = database.TableDefs().Count();
    for (int i = 0; i < count; ++i) {
        context.place.Object("table", i);
        const schema::TableDef& table = database.TableDefs().Item(i);
        const std::string name = table.Name();
        context.place.ObjectName(name);
        if (!context.host.IsTableSelected(name)) {
            continue;
        }
        context.ShowProcessing("Processing table : " + name);

        tableText.Clear();
        fieldText.Clear();
        indexText.Clear();
        bool written = context.AppendRows(tableText, TableRows(table, context.switches));
        if (const auto problem = table.LinkProblem()) {
            context.host.Warn(name + ": " + *problem);
            written = AppendUnlistedFields(*problem, fieldText) || written;
        } else {
            written = AppendFieldBlocks(table, context, fieldText) || written;
            written = AppendIndexBlocks(table, context, indexText) || written;
        }
        if (written) {
            context.place.ClearMember();
            WriteTableBlock(writer, name, tableText, fieldText, indexText);
            anyTableWritten = true;
        }
    }
    context.place.Stage("writing the table properties");
    // Only when no table at all was written: an unwritten last table does not
    // hide the tables written before it.
    if (!anyTableWritten) {
        writer.NoneRequested();
    }
    writer.SectionEnd();
}

}  // namespace ostrel::engine
