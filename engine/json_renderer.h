#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "engine/json_form.h"
#include "engine/report_sink.h"

namespace ostrel::engine {

// The report as JSON (the structured form): every selected object keyed by
// name, with its typed properties and members. The text goes to write in
// pieces as it is made, so that a large report is never held whole.
class JsonRenderer final : public ReportSink {
  public:
    explicit JsonRenderer(std::function<void(std::string_view)> write);

    void Title(const ReportTitle& title) override;
    void DatabaseSection(const PropertyRows& rows) override;
    void BeginSection(ObjectKind kind) override;
    void Object(const ReportObject& object) override;
    void EndSection(ObjectKind kind, const diagram::DiagramModel* diagram) override;
    void End() override;

  private:
    void Flush(bool always);
    void ApplicationMembers(const ReportObject& object);

    std::function<void(std::string_view)> write_;
    std::string text_;
    JsonStream json_;
    std::string databasePath_;
    // A section of forms, reports, macros or modules is begun with its first
    // object, and left out when it has none.
    std::optional<ObjectKind> pending_;
    bool sectionOpen_ = false;
};

}  // namespace ostrel::engine
