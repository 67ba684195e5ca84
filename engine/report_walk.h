#pragma once

#include "engine/report_builder.h"
#include "engine/report_sink.h"
#include "engine/run_ports.h"
#include "engine/writing_place.h"

namespace ostrel::engine {

// The parts of a report, in order. The parts of the application's objects
// (forms to modules) are walked only when the database holds such objects.
enum class ReportPart { Database, Tables, Relationships, Queries, Forms, Reports, Macros, Modules };

// What a walk reports to and asks of the program around it.
struct WalkContext {
    RunStatus& status;
    RunMessages& messages;  // warnings
    const Selection& selection;
    int& passCounter;     // advanced once by every part
    WritingPlace& place;  // where a failure happened
};

// Walks the database once, part by part, and hands every selected object to
// the sink: the status bar shows the pass and the object being read, the user
// is asked at every object whether to go on (RunCancelled when not), and a
// linked table that cannot be read is told as a warning.
void WalkReport(const ReportBuilder& builder, ReportSink& sink, WalkContext& context);
void WalkPart(ReportPart part, const ReportBuilder& builder, ReportSink& sink,
              WalkContext& context);

}  // namespace ostrel::engine
