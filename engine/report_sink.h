#pragma once

#include <string>

#include "components/diagram/diagram_model.h"
#include "components/schema/variant.h"
#include "engine/report_model.h"

namespace ostrel::engine {

// What the title block of a report says.
struct ReportTitle {
    std::string programLine;  // "Ostrel2 Version 1.0.6"
    schema::DateTime produced;
    std::string producedText;  // the date and time as the locale writes them
    std::string databasePath;
};

// An output of the report: told of its parts in the report's order as the
// walk reads them. Each renders them in its own form (the paged document, CSV
// text, JSON).
class ReportSink {
  public:
    virtual ~ReportSink() = default;
    virtual void Title(const ReportTitle& title) = 0;
    // Section 1: the database's own rows.
    virtual void DatabaseSection(const PropertyRows& rows) = 0;
    virtual void BeginSection(ObjectKind kind) = 0;
    // One selected object of the section begun last.
    virtual void Object(const ReportObject& object) = 0;
    // Whether the relationship diagram is drawn in this output.
    virtual bool TakesDiagram() const { return false; }
    // The section's end; the relationship section's carries its diagram when
    // TakesDiagram and there is one to draw.
    virtual void EndSection(ObjectKind kind, const diagram::DiagramModel* diagram) = 0;
    virtual void End() {}

  protected:
    ReportSink() = default;
    ReportSink(const ReportSink&) = default;
    ReportSink& operator=(const ReportSink&) = default;
};

}  // namespace ostrel::engine
