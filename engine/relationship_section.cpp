#include "engine/relationship_section.h"

namespace ostrel::engine {

void DocumentRelationships(const schema::Database& database, SectionContext& context) {
    ReportWriter& writer = context.writer;
    context.place.Stage("writing the relationship properties");
    writer.SectionHeading("3 - Relationship Properties");
    context.AdvancePass();

    TableText text(writer);
    bool anyWritten = false;
    const int count = database.Relations().Count();
    for (int i = 0; i < count; ++i) {
        context.place.Object("relationship", i);
        const schema::Relation& relation = database.Relations().Item(i);
        const std::string name = relation.Name();
        context.place.ObjectName(name);
        context.ShowProcessing("Processing relationship : " + name);

        text.Clear();
        context.AppendRows(text, RelationRows(relation, context.switches));
        if (!text.Empty()) {
            writer.ObjectHeading("Relationship : " + relation.Name());
            writer.PropertyTable(kThreeColumnFormat, text.Text());
            writer.EmptyLine();
            anyWritten = true;
        }
    }
    context.place.Stage("writing the relationship properties");
    if (!anyWritten) {
        writer.NoneRequested();
    }
    writer.SectionEnd();
}

}  // namespace ostrel::engine
