#include "engine/report_walk.h"

#include "engine/progress.h"

namespace ostrel::engine {
namespace {

void ShowProcessing(WalkContext& context, const std::string& text) {
    context.status.SetStatusText(2, text);
    context.status.RepaintStatus();
    AskToGoOn(context.status);
}

void AdvancePass(WalkContext& context) {
    ShowProgress(context.status, context.passCounter, false);
    AskToGoOn(context.status);
}

// The diagram of the relationships between the selected tables, for the
// outputs that draw it.
std::optional<diagram::DiagramModel> DiagramFor(const ReportBuilder& builder,
                                                const ReportSink& sink, WalkContext& context) {
    if (!sink.TakesDiagram() || !builder.Switches().GetReportSwitch("Relationship Diagram")) {
        return std::nullopt;
    }
    context.place.Stage("drawing the relationship diagram");
    ShowProcessing(context, "Drawing the relationship diagram");
    diagram::DiagramModel model =
        diagram::BuildDiagramModel(builder.Database(), [&context](const std::string& name) {
            return context.selection.IsSelected(ObjectKind::Table, name);
        });
    if (model.Empty()) {
        return std::nullopt;
    }
    return model;
}

void WalkObjects(ObjectKind kind, const ReportBuilder& builder, ReportSink& sink,
                 WalkContext& context) {
    const KindWords& words = WordsOf(kind);
    const std::string stage = "writing the " + std::string(words.lower) + " properties";
    context.place.Stage(stage);
    sink.BeginSection(kind);
    AdvancePass(context);
    const int count = builder.Count(kind);
    for (int i = 0; i < count; ++i) {
        context.place.Object(words.lower, i);
        const std::string name = builder.NameAt(kind, i);
        context.place.ObjectName(name);
        if (!context.selection.IsSelected(kind, name)) {
            continue;
        }
        ShowProcessing(context, "Processing " + std::string(words.lower) + " : " + name);
        const ReportObject object = builder.Build(kind, i, context.place);
        if (object.unlisted) {
            context.messages.Warn(name + ": " + *object.unlisted);
        }
        sink.Object(object);
    }
    context.place.Stage(stage);
    std::optional<diagram::DiagramModel> diagram;
    if (kind == ObjectKind::Relationship) {
        diagram = DiagramFor(builder, sink, context);
    }
    sink.EndSection(kind, diagram ? &*diagram : nullptr);
}

ObjectKind KindOfPart(ReportPart part) {
    switch (part) {
        case ReportPart::Forms:
            return ObjectKind::Form;
        case ReportPart::Reports:
            return ObjectKind::Report;
        case ReportPart::Macros:
            return ObjectKind::Macro;
        default:
            return ObjectKind::Module;
    }
}

}  // namespace

void WalkPart(ReportPart part, const ReportBuilder& builder, ReportSink& sink,
              WalkContext& context) {
    switch (part) {
        case ReportPart::Database:
            context.place.Stage("writing the database properties");
            AdvancePass(context);
            ShowProcessing(context, "Processing database");
            sink.DatabaseSection(builder.DatabaseProperties());
            return;
        case ReportPart::Tables:
            WalkObjects(ObjectKind::Table, builder, sink, context);
            return;
        case ReportPart::Relationships:
            WalkObjects(ObjectKind::Relationship, builder, sink, context);
            return;
        case ReportPart::Queries:
            WalkObjects(ObjectKind::Query, builder, sink, context);
            return;
        case ReportPart::Forms:
        case ReportPart::Reports:
        case ReportPart::Macros:
        case ReportPart::Modules:
            break;
    }
    const ObjectKind kind = KindOfPart(part);
    if (builder.Count(kind) > 0) {
        WalkObjects(kind, builder, sink, context);
    }
}

void WalkReport(const ReportBuilder& builder, ReportSink& sink, WalkContext& context) {
    for (const ReportPart part :
         {ReportPart::Database, ReportPart::Tables, ReportPart::Relationships, ReportPart::Queries,
          ReportPart::Forms, ReportPart::Reports, ReportPart::Macros, ReportPart::Modules}) {
        WalkPart(part, builder, sink, context);
    }
    sink.End();
}

}  // namespace ostrel::engine
