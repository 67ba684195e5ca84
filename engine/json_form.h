#pragma once

#include <string>

#include "components/schema/variant.h"
#include "engine/comparison.h"

namespace ostrel::engine {

// The versions of the report's and the comparison's structured forms. A
// version changes when a member is removed or changes meaning; members added
// later do not change it.
inline constexpr int kJsonReportVersion = 1;
inline constexpr int kJsonComparisonVersion = 1;

// A date and time as ISO 8601 without a zone ("2026-12-06T18:15:30"), as Jet
// keeps it.
std::string IsoDateTime(const schema::DateTime& value);

// What the title block says, for the structured forms.
struct JsonHeader {
    std::string producedBy;  // program and version
    schema::DateTime produced;
};

// Builds the structured report: the database's properties, then the objects
// of each section keyed by name, each with its typed properties.
class JsonReportBuilder {
  public:
    JsonReportBuilder(const JsonHeader& header, const std::string& databasePath);
    ~JsonReportBuilder();
    JsonReportBuilder(const JsonReportBuilder&) = delete;
    JsonReportBuilder& operator=(const JsonReportBuilder&) = delete;

    void DatabaseProperties(const PropertyRows& rows);
    void BeginTable(const std::string& name, const PropertyRows& rows);
    void Field(const std::string& name, const PropertyRows& rows);
    void Index(const std::string& name, const PropertyRows& rows);
    void Relationship(const std::string& name, const PropertyRows& rows);
    void BeginQuery(const std::string& name, const PropertyRows& rows);
    void Parameter(const std::string& name, const PropertyRows& rows);

    // The document as indented JSON text, ending with a line feed.
    std::string Text() const;

  private:
    struct State;
    std::unique_ptr<State> state_;
};

// The comparison's structured form.
std::string ComparisonJsonText(const Comparison& comparison, const JsonHeader& header,
                               const std::string& oldPath, const std::string& newPath,
                               const ComparisonOptions& options);

}  // namespace ostrel::engine
