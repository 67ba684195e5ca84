#include "engine/relationship_section.h"

#include <cstdint>

#include "components/diagram/diagram_model.h"
#include "engine/value_text.h"

namespace ostrel::engine {
namespace {

namespace attribute = schema::relation_attribute;

// Each field's name followed by a carriage return, so that the cell lists one
// field per line.
std::string FieldList(const schema::Relation& relation) {
    std::string list;
    const int count = relation.Fields().Count();
    for (int i = 0; i < count; ++i) {
        list += relation.Fields().Item(i).Name();
        list += '\r';
    }
    return list;
}

void AppendRelationRows(const schema::Relation& relation, SectionContext& context,
                        TableText& text) {
    const auto row = [&](std::string_view key, std::string_view label, auto&& value) {
        if (context.SwitchOn(key)) {
            text.AppendRow(label, value());
        }
    };
    const auto attributeRow = [&](std::string_view key, std::string_view label,
                                  std::uint32_t mask) {
        row(key, label, [&] { return BoolText((relation.Attributes() & mask) == mask); });
    };
    row("Relationship Fields", "Fields", [&] { return FieldList(relation); });
    row("Relationship ForeignTable", "ForeignTable", [&] { return relation.ForeignTable(); });
    row("Relationship PartialReplica", "PartialReplica",
        [&] { return BoolText(relation.PartialReplica()); });
    attributeRow("Relationship RelationDeleteCascade", "RelationDeleteCascade",
                 attribute::kDeleteCascade);
    attributeRow("Relationship RelationDontEnforce", "RelationDontEnforce",
                 attribute::kDontEnforce);
    attributeRow("Relationship RelationInherited", "RelationInherited", attribute::kInherited);
    attributeRow("Relationship RelationUnique", "RelationUnique", attribute::kUnique);
    attributeRow("Relationship RelationUpdateCascade", "RelationUpdateCascade",
                 attribute::kUpdateCascade);
    row("Relationship Table", "Table", [&] { return relation.Table(); });
}

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
        AppendRelationRows(relation, context, text);
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
