#include "engine/query_section.h"

#include "engine/parameter_block.h"

namespace ostrel::engine {

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
        context.AppendRows(text, QueryRows(query, context.switches));
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
