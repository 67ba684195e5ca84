#include "engine/database_section.h"

namespace ostrel::engine {

void DocumentDatabase(const schema::Database& database, SectionContext& context) {
    ReportWriter& writer = context.writer;
    context.place.Stage("writing the database properties");
    writer.SectionHeading("1 - Database Properties");
    context.AdvancePass();
    context.ShowProcessing("Processing database");

    TableText table(writer);
    for (const PropertyRow& row : DatabaseRows(database, context.switches)) {
        table.AppendPair(row.Label(), RowText(row, context.formatter, writer.RowSeparator()));
    }

    if (!table.Empty()) {
        writer.PropertyTable(kTwoColumnFormat, table.Text());
        writer.EmptyLine();
    } else {
        writer.NoneRequested();
    }
    writer.SectionEnd();
}

}  // namespace ostrel::engine
