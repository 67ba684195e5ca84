#pragma once

#include "engine/report_sink.h"
#include "engine/report_writer.h"
#include "engine/value_formatter.h"

namespace ostrel::engine {

// The report in its forms: the paged document of the preview, print and PDF,
// or the CSV text, as the writer's target asks. What each section writes, and
// when it says "None requested", is decided here.
class FormsRenderer final : public ReportSink {
  public:
    FormsRenderer(ReportWriter& writer, const ValueFormatter& formatter)
        : writer_(writer), formatter_(formatter) {}

    void Title(const ReportTitle& title) override;
    void DatabaseSection(const PropertyRows& rows) override;
    void BeginSection(ObjectKind kind) override;
    void Object(const ReportObject& object) override;
    bool TakesDiagram() const override { return writer_.Target() == ReportTarget::Preview; }
    void EndSection(ObjectKind kind, const diagram::DiagramModel* diagram) override;

  private:
    // Appends the rows as (indent), label, value rows; returns whether there
    // were any.
    bool AppendRows(TableText& text, const PropertyRows& rows) const;
    // A member block per member: its caption, then its rows; blocks of fields
    // and indexes end with a row of their own.
    bool AppendMembers(TableText& text, const MemberGroup& group) const;
    void Table(const ReportObject& object);
    void Relationship(const ReportObject& object);
    void Query(const ReportObject& object);
    // Forms, reports, macros and modules: rows, a note, then the code or XML.
    void ApplicationObject(const ReportObject& object);

    ReportWriter& writer_;
    const ValueFormatter& formatter_;
    bool anyWritten_ = false;  // in the section begun last
};

}  // namespace ostrel::engine
