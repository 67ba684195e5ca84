#include "engine/query_section.h"

#include "engine/parameter_block.h"
#include "engine/replace_char.h"
#include "engine/value_text.h"
#include "engine/vocabularies.h"

namespace ostrel::engine {
namespace {

void AppendQueryRows(const schema::QueryDef& query, SectionContext& context, TableText& text) {
    const auto row = [&](std::string_view key, std::string_view label, auto&& value) {
        if (context.SwitchOn(key)) {
            text.AppendRow(label, value());
        }
    };
    const ValueFormatter& formatter = context.formatter;
    row("Query DateCreated", "DateCreated",
        [&] { return VariantText(query.DateCreated(), formatter); });
    row("Query LastUpdated", "LastUpdated",
        [&] { return VariantText(query.LastUpdated(), formatter); });
    row("Query MaxRecords", "MaxRecords", [&] { return IntegerText(query.MaxRecords()); });
    row("Query ODBCTimeout", "ODBCTimeout", [&] { return IntegerText(query.ODBCTimeout()); });
    row("Query ReturnsRecords", "ReturnsRecords", [&] { return BoolText(query.ReturnsRecords()); });
    row("Query SQL", "SQL", [&] { return CleanSql(query.SQL(), context.writer.RowSeparator()); });
    row("Query Type", "Type", [&] { return QueryTypeName(query.Type()); });
    row("Query Updatable", "Updatable", [&] { return BoolText(query.Updatable()); });
}

}  // namespace

std::string CleanSql(std::string_view sql, std::string_view rowSeparator) {
    return ReplaceChar(ReplaceChar(ReplaceChar(sql, "\r", " "), "\n", " "), rowSeparator, "");
}

void DocumentQueries(const schema::Database& database, SectionContext& context) {
    ReportWriter& writer = context.writer;
    context.place.Stage("writing the query properties");
    writer.SectionHeading("4 - Query Properties");
    context.AdvancePass();

    TableText text(writer);
    TableText parameterText(writer);
    bool anyWritten = false;
    const int count = database.QueryDefs().Count();
    for (int i = 0; i < count; ++i) {
        context.place.Object("query", i);
        const schema::QueryDef& query = database.QueryDefs().Item(i);
        const std::string name = query.Name();
        context.place.ObjectName(name);
        if (!context.host.IsQuerySelected(name)) {
            continue;
        }
        context.ShowProcessing("Processing query : " + name);

        text.Clear();
        parameterText.Clear();
        AppendQueryRows(query, context, text);
        const bool parameterRows = AppendParameterBlocks(query, context, parameterText);
        context.place.ClearMember();
        if (!text.Empty()) {
            writer.ObjectHeading("Query : " + query.Name());
            writer.PropertyTable(kThreeColumnFormat, text.Text());
            writer.EmptyLine();
            anyWritten = true;
        }
        if (parameterRows) {
            writer.PropertyTable(kThreeColumnFormat, parameterText.Text());
            writer.EmptyLine();
            anyWritten = true;
        }
    }
    context.place.Stage("writing the query properties");
    if (!anyWritten) {
        writer.NoneRequested();
    }
    writer.SectionEnd();
}

}  // namespace ostrel::engine
