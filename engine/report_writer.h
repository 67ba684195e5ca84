#pragma once

#include <string>
#include <string_view>

#include "components/document/report_document.h"
#include "engine/csv_output.h"
#include "engine/run_host.h"

namespace ostrel::engine {

// Column formats of the preview's property tables: label and value for the
// database section, indent, label and value for the others.
inline constexpr std::string_view kTwoColumnFormat = "2000|8000;";
inline constexpr std::string_view kThreeColumnFormat = "2000|2400|5600;";

// The report's forms for one target: the preview's document or the CSV file's
// lines. Section writers decide which rows exist; this decides how they look.
class ReportWriter {
  public:
    explicit ReportWriter(document::ReportDocument& document);
    explicit ReportWriter(LineSink& csv);

    ReportTarget Target() const { return target_; }
    std::string_view ColumnSeparator() const;
    std::string_view RowSeparator() const;

    void TitleBlock(const std::string& titleLine, const std::string& dateLine,
                    const std::string& pathLine);
    // Headings also tell the document where a section or an object's block
    // begins. An object heading reads "Kind : Name".
    void SectionHeading(const std::string& text);
    void ObjectHeading(std::string_view kind, const std::string& name);
    void ObjectHeading(const std::string& text);
    // A table text built by TableText; the format is used by the preview only.
    void PropertyTable(std::string_view columnFormat, const std::string& tableText);
    void EmptyLine();
    void NoneRequested();
    void SectionEnd();

  private:
    void Paragraph(const std::string& text);
    void WriteObjectHeading(const std::string& text);

    ReportTarget target_;
    document::ReportDocument* document_ = nullptr;
    LineSink* csv_ = nullptr;
};

// One property table being built as text, with the separators of the target.
// In the preview a separator or backslash inside a cell's own text is escaped
// ("\|", "\;", "\\") so the document keeps it as text; CSV text is written as
// it is, unquoted.
class TableText {
  public:
    explicit TableText(const ReportWriter& writer);

    // label, value: a row of the two-column table.
    void AppendPair(std::string_view label, std::string_view value);
    // (indent), label, value: a row of a three-column table. The indent cell is
    // empty unless a caption was appended just before.
    void AppendRow(std::string_view label, std::string_view value);
    // prefix + name as the indent cell of the row that follows.
    void AppendCaption(std::string_view prefix, std::string_view name);
    // A row separator alone: ends a caption-only row, or gives an empty row.
    void EndRow();

    bool Empty() const { return text_.empty(); }
    const std::string& Text() const { return text_; }
    void Clear() { text_.clear(); }

  private:
    void AppendCell(std::string_view cell);

    std::string_view columnSeparator_;
    std::string_view rowSeparator_;
    bool escape_;
    std::string text_;
};

}  // namespace ostrel::engine
