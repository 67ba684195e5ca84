#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

// Writes a JSON document into a text piece by piece, so that a large report
// never needs a tree of the whole document. Keys and values are serialised by
// the JSON library; this only places them. Text that is not valid UTF-8 is
// written with replacement characters.
class JsonStream {
  public:
    explicit JsonStream(std::string& out) : out_(out) {}

    void BeginObject();
    void EndObject();
    // The key of the next member of the current object.
    void Key(std::string_view key);
    void Value(const schema::Variant& value);
    void Text(std::string_view text);
    void Value(bool value);
    void Value(std::int64_t value);
    // "format", "producedBy" and "produced": the members every document
    // starts with.
    void Header(std::string_view formatName, int version, const JsonHeader& header);
    // {"Label": value, ...} for each row.
    void Properties(const PropertyRows& rows);

  private:
    void Separate();

    std::string& out_;
    std::vector<bool> hasMembers_;
    bool afterKey_ = false;
};

// The comparison's structured form.
std::string ComparisonJsonText(const Comparison& comparison, const JsonHeader& header,
                               const std::string& oldPath, const std::string& newPath,
                               const ComparisonOptions& options);

}  // namespace ostrel::engine
