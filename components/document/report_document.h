#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "components/document/table_data.h"

namespace ostrel::diagram {
struct DiagramModel;
}

namespace ostrel::document {

// Program text shown as it is (a module's code, a macro's XML, a diff): its
// lines without their line ends, the first numbered firstLine; with a
// firstLine of 0 the lines are not numbered.
struct CodeBlock {
    std::vector<std::string> lines;
    int firstLine = 1;
};

// The paginated document behind the print preview. The report run appends
// paragraphs and tables; the document breaks them into pages.
//
// Calling order in one run: the three setup calls and SetPageCaption,
// StartDocument, any number of size, emphasis, style, paragraph, table, block
// and diagram calls, EndDocument, PageCount; then, from the preview window
// only, PreviewPage/SetPreviewPage and PrintDocument.
class ReportDocument {
  public:
    virtual ~ReportDocument() = default;

    // Setup applied before StartDocument. The run always passes 0 and 8: no
    // border around the page, 8 point text for the running caption.
    virtual void SetPageBorder(std::int32_t style) = 0;
    virtual void SetCaptionTextSize(std::int16_t points) = 0;

    // Running caption on every page: "left|centre|right", "%d" = page number.
    virtual void SetPageCaption(const std::string& caption) = 0;

    virtual void StartDocument() = 0;
    virtual void SetTextSize(std::int16_t points) = 0;
    virtual void SetHeadingEmphasis(bool on) = 0;
    virtual void SetObjectHeadingEmphasis(bool on) = 0;
    virtual void SetTableStyle(std::int32_t style) = 0;
    // One paragraph in the current size and emphasis; "" is an empty line.
    virtual void AddParagraph(const std::string& text) = 0;
    // A table at the current position, continued across pages as needed. A
    // carriage return inside a cell is a line break within it.
    virtual void AddTable(const TableData& table) = 0;
    // The same in the text form of TableDataText: a column format
    // ("2000|8000;": widths in twips) followed by rows, cells separated by "|"
    // and each row ended by ";"; a separator preceded by a backslash belongs to
    // the cell's text.
    void AddTable(const std::string& text) { AddTable(ParseTableText(text)); }
    // Program text at the current position, in a fixed-width face, each line
    // with its number and a line too long for the page wrapped with its
    // continuation marked. By default a table of numbers and lines.
    virtual void AddCode(const CodeBlock& code) {
        TableData table{{600, 9400}, {}};
        int number = code.firstLine;
        for (const std::string& line : code.lines) {
            table.rows.push_back({number > 0 ? std::to_string(number++) : std::string(), line});
        }
        AddTable(table);
    }

    // Where the report's parts begin, told just before their headings are
    // added: a section ("2 - Table Properties") and, inside it, one object's
    // block (kind "Table", name "Orders"). Documents that page the report use
    // them for contents and links; the heading text itself still arrives as a
    // paragraph.
    virtual void BeginSection(const std::string& /*title*/) {}
    virtual void BeginObject(const std::string& /*kind*/, const std::string& /*name*/) {}

    // The relationship diagram of the model, on pages of its own after what
    // was added before; what is added after it begins a new page.
    virtual void AddDiagram(const diagram::DiagramModel& model) = 0;
    virtual void EndDocument() = 0;

    virtual int PageCount() const = 0;
    // 1-based page shown in the preview; a new document shows page 1.
    virtual int PreviewPage() const = 0;
    virtual void SetPreviewPage(int page) = 0;
    // Prints the finished document; throws std::runtime_error when it cannot.
    virtual void PrintDocument() = 0;

  protected:
    ReportDocument() = default;
    ReportDocument(const ReportDocument&) = default;
    ReportDocument& operator=(const ReportDocument&) = default;
};

}  // namespace ostrel::document
