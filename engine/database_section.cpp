#include "engine/database_section.h"

#include "engine/value_text.h"

namespace ostrel::engine {

void DocumentDatabase(const schema::Database& database, SectionContext& context) {
    ReportWriter& writer = context.writer;
    context.place.Stage("writing the database properties");
    writer.SectionHeading("1 - Database Properties");
    context.AdvancePass();
    context.ShowProcessing("Processing database");

    TableText table(writer);
    if (context.SwitchOn("Database CollatingOrder")) {
        table.AppendPair("CollatingOrder", IntegerText(database.CollatingOrder()));
    }
    if (context.SwitchOn("Database ReplicaID")) {
        table.AppendPair("ReplicaID", database.ReplicaID());
    }
    if (context.SwitchOn("Database Transactions")) {
        table.AppendPair("Transactions", BoolText(database.Transactions()));
    }
    if (context.SwitchOn("Database Updatable")) {
        table.AppendPair("Updatable", BoolText(database.Updatable()));
    }
    if (context.SwitchOn("Database Version")) {
        table.AppendPair("Version", database.Version());
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
