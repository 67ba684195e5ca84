#include "engine/table_section.h"

#include <cstdint>

#include "engine/field_block.h"
#include "engine/index_block.h"
#include "engine/value_text.h"

namespace ostrel::engine {
namespace {

namespace attribute = schema::table_attribute;

bool HasBits(std::uint32_t attributes, std::uint32_t mask) {
    return (attributes & mask) == mask;
}

// The table's own rows; returns whether any was appended.
bool AppendTableRows(const schema::TableDef& table, SectionContext& context, TableText& text) {
    const auto attributeRow = [&](std::string_view key, std::string_view label,
                                  std::uint32_t mask) {
        if (context.SwitchOn(key)) {
            text.AppendRow(label, BoolText(HasBits(table.Attributes(), mask)));
        }
    };
    const ValueFormatter& formatter = context.formatter;
    attributeRow("Table AttachExclusive", "AttachExclusive", attribute::kAttachExclusive);
    attributeRow("Table AttachedODBC", "AttachedODBC", attribute::kAttachedOdbc);
    attributeRow("Table AttachSavePWD", "AttachSavePWD", attribute::kAttachSavePwd);
    attributeRow("Table AttachedTable", "AttachedTable", attribute::kAttachedTable);
    if (context.SwitchOn("Table DateCreated")) {
        text.AppendRow("DateCreated", VariantText(table.DateCreated(), formatter));
    }
    attributeRow("Table HiddenObject", "HiddenObject", attribute::kHidden);
    if (context.SwitchOn("Table LastUpdated")) {
        text.AppendRow("LastUpdated", VariantText(table.LastUpdated(), formatter));
    }
    if (context.SwitchOn("Table RecordCount")) {
        text.AppendRow("RecordCount", IntegerText(table.RecordCount()));
    }
    if (context.SwitchOn("Table ReplicaFilter")) {
        text.AppendRow("ReplicaFilter", VariantText(table.ReplicaFilter(), formatter));
    }
    if (context.SwitchOn("Table SourceTableName")) {
        text.AppendRow("SourceTableName", table.SourceTableName());
    }
    attributeRow("Table SystemObject", "SystemObject", attribute::kSystemObject);
    if (context.SwitchOn("Table Updatable")) {
        text.AppendRow("Updatable", BoolText(table.Updatable()));
    }
    if (context.SwitchOn("Table ValidationRule")) {
        text.AppendRow("ValidationRule", table.ValidationRule());
    }
    if (context.SwitchOn("Table ValidationText")) {
        text.AppendRow("ValidationText", table.ValidationText());
    }
    return !text.Empty();
}

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
        bool written = AppendTableRows(table, context, tableText);
        if (const auto problem = table.LinkProblem()) {
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
