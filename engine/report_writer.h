#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "components/diagram/diagram_model.h"
#include "components/document/report_document.h"
#include "engine/csv_output.h"
#include "engine/run_ports.h"

namespace ostrel::engine {

// Column widths in twips of the preview's property tables: label and value
// for the database section, indent, label and value for the others.
inline constexpr std::array<int, 2> kTwoColumns{2000, 8000};
inline constexpr std::array<int, 3> kThreeColumns{2000, 2400, 5600};
// The comparison's tables: indent, label, old value and new value.
inline constexpr std::array<int, 4> kFourColumns{2000, 2200, 2900, 2900};

class TableText;

// How CSV cells are written: as they are (the report's own form), or quoted
// as RFC 4180 asks when they hold a comma, a quote or a line break.
enum class CsvQuoting { None, Rfc4180 };

// The report's forms for one target: the preview's document or the CSV file's
// lines. Section writers decide which rows exist; this decides how they look.
class ReportWriter {
  public:
    explicit ReportWriter(document::ReportDocument& document);
    explicit ReportWriter(LineSink& csv, CsvQuoting quoting = CsvQuoting::None);

    ReportTarget Target() const { return target_; }
    CsvQuoting Quoting() const { return quoting_; }
    std::string_view ColumnSeparator() const;
    std::string_view RowSeparator() const;

    void TitleBlock(const std::string& titleLine, const std::string& dateLine,
                    const std::string& pathLine);
    void TitleBlock(const std::vector<std::string>& lines);
    // Headings also tell the document where a section or an object's block
    // begins. An object heading reads "Kind : Name".
    void SectionHeading(const std::string& text);
    void ObjectHeading(std::string_view kind, const std::string& name);
    // An object heading with its mark: in CSV the word in a second cell
    // ("Table : Orders,changed"), in the preview the symbol and the word
    // after the heading's text.
    void MarkedObjectHeading(std::string_view kind, const std::string& name,
                             std::string_view symbol, std::string_view word);
    // A table built by TableText, which is emptied; the column widths serve
    // the preview only.
    void PropertyTable(std::span<const int> columns, TableText& table);
    // The relationship diagram: pages of the preview; nothing in CSV.
    void Diagram(const diagram::DiagramModel& model);
    // Program text, line by line: in the preview in a fixed-width face with
    // line numbers; in CSV a line per code line, its number in the second
    // cell and the text, always quoted, in the third. A firstLine of 0 numbers
    // no line (a diff's lines).
    void Code(const std::vector<std::string_view>& lines, int firstLine);
    void EmptyLine();
    void NoneRequested();
    // A line of text followed by an empty line.
    void Notice(const std::string& text);
    void SectionEnd();

  private:
    void Paragraph(const std::string& text);
    void WriteObjectHeading(const std::string& text);
    // A line of one cell: quoted when the writer quotes.
    void CsvLine(const std::string& text);

    ReportTarget target_;
    CsvQuoting quoting_ = CsvQuoting::None;
    document::ReportDocument* document_ = nullptr;
    LineSink* csv_ = nullptr;
};

// One property table being built: for CSV as the text of its lines, cells
// separated by the writer's separators and quoted when the writer quotes; for
// the preview as rows of cells, handed to the document as they are.
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
    // Ends the row: a caption alone, or an empty row.
    void EndRow();
    // (indent), label, old value, new value: a row of the comparison.
    void AppendComparisonRow(std::string_view label, std::string_view oldValue,
                             std::string_view newValue);
    // The word of a member's change after its caption, ending the row.
    void AppendChangeWord(std::string_view word);
    // The rows of another table of the same writer, after these.
    void Append(const TableText& other);

    bool Empty() const { return text_.empty() && rows_.empty() && cells_.empty(); }
    // The CSV text, ending in the row separator.
    const std::string& Text() const { return text_; }
    // Room for about this many rows of CSV text, so that a large table is not
    // copied again and again as it grows.
    void ReserveRows(std::size_t rows) {
        if (!preview_) {
            text_.reserve(rows * kBytesPerRow);
        }
    }
    // The preview's rows, a row still open among them; the table is empty
    // afterwards.
    std::vector<std::vector<std::string>> TakeRows();

  private:
    void AppendCell(std::string_view cell);
    // Starts a row's first cell, the indent, unless a caption stands there.
    void Indent();
    void FinishRow();

    bool preview_;
    std::string_view columnSeparator_;
    std::string_view rowSeparator_;
    bool quote_;
    static constexpr std::size_t kBytesPerRow = 40;
    std::string text_;
    std::vector<std::vector<std::string>> rows_;
    std::vector<std::string> cells_;  // the preview's row being built
};

}  // namespace ostrel::engine
