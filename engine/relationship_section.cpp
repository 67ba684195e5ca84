#include "engine/relationship_section.h"

#include "components/diagram/diagram_model.h"

namespace ostrel::engine {
namespace {

// The diagram of the relationships between the ticked tables, in the paged
// report only.
void AddDiagram(const schema::Database& database, SectionContext& context) {
    if (context.writer.Target() != ReportTarget::Preview ||
        !context.SwitchOn("Relationship Diagram")) {
        return;
    }
    context.place.Stage("drawing the relationship diagram");
    context.ShowProcessing("Drawing the relationship diagram");
    const diagram::DiagramModel model = diagram::BuildDiagramModel(
        database,
        [&context](const std::string& name) { return context.host.IsTableSelected(name); });
    if (!model.Empty()) {
        context.writer.Diagram(model);
    }
}

}  // namespace

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
    AddDiagram(database, context);
    writer.SectionEnd();
}

}  // namespace ostrel::engine
