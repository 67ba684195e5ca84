#include "engine/report_writer.h"

namespace ostrel::engine {

ReportWriter::ReportWriter(document::ReportDocument& document)
    : target_(ReportTarget::Preview), document_(&document) {}

ReportWriter::ReportWriter(LineSink& csv, CsvQuoting quoting)
    : target_(ReportTarget::CsvFile), quoting_(quoting), csv_(&csv) {}

namespace {

bool NeedsQuotes(std::string_view cell) {
    return cell.find_first_of(",\"\r\n") != std::string_view::npos;
}

void AppendQuoted(std::string& text, std::string_view cell) {
    text.push_back('"');
    for (const char c : cell) {
        if (c == '"') {
            text.push_back('"');
        }
        text.push_back(c);
    }
    text.push_back('"');
}

}  // namespace

std::string_view ReportWriter::ColumnSeparator() const {
    return target_ == ReportTarget::Preview ? "|" : ",";
}

std::string_view ReportWriter::RowSeparator() const {
    return target_ == ReportTarget::Preview ? ";" : "\r\n";
}

void ReportWriter::CsvLine(const std::string& text) {
    if (quoting_ == CsvQuoting::Rfc4180 && NeedsQuotes(text)) {
        std::string quoted;
        AppendQuoted(quoted, text);
        csv_->WriteLine(quoted);
    } else {
        csv_->WriteLine(text);
    }
}

void ReportWriter::Paragraph(const std::string& text) {
    if (document_ != nullptr) {
        document_->AddParagraph(text);
    } else {
        CsvLine(text);
    }
}

void ReportWriter::TitleBlock(const std::string& titleLine, const std::string& dateLine,
                              const std::string& pathLine) {
    TitleBlock(std::vector<std::string>{titleLine, dateLine, pathLine});
}

void ReportWriter::TitleBlock(const std::vector<std::string>& lines) {
    if (document_ != nullptr) {
        document_->SetTextSize(14);
    }
    for (const std::string& line : lines) {
        Paragraph(line);
        Paragraph({});
    }
    if (document_ != nullptr) {
        document_->SetTextSize(8);
    }
}

void ReportWriter::SectionHeading(const std::string& text) {
    if (document_ != nullptr) {
        document_->BeginSection(text);
        document_->SetHeadingEmphasis(true);
        document_->SetTextSize(12);
        document_->AddParagraph(text);
        document_->SetTextSize(8);
        document_->SetHeadingEmphasis(false);
        document_->AddParagraph({});
        document_->SetTableStyle(0);
    } else {
        CsvLine(text);
        csv_->WriteLine({});
    }
}

void ReportWriter::ObjectHeading(std::string_view kind, const std::string& name) {
    if (document_ != nullptr) {
        document_->BeginObject(std::string(kind), name);
    }
    WriteObjectHeading(std::string(kind) + " : " + name);
}

void ReportWriter::WriteObjectHeading(const std::string& text) {
    if (document_ != nullptr) {
        document_->SetObjectHeadingEmphasis(true);
        document_->AddParagraph(text);
        document_->SetObjectHeadingEmphasis(false);
        document_->AddParagraph({});
    } else {
        CsvLine(text);
        csv_->WriteLine({});
    }
}

void ReportWriter::MarkedObjectHeading(std::string_view kind, const std::string& name,
                                       std::string_view symbol, std::string_view word) {
    const std::string text = std::string(kind) + " : " + name;
    if (document_ != nullptr) {
        document_->BeginObject(std::string(kind), name);
        WriteObjectHeading(text + "   " + std::string(symbol) + " " + std::string(word));
        return;
    }
    std::string line;
    if (quoting_ == CsvQuoting::Rfc4180 && NeedsQuotes(text)) {
        AppendQuoted(line, text);
    } else {
        line = text;
    }
    line += ',';
    line += word;
    csv_->WriteLine(line);
    csv_->WriteLine({});
}

void ReportWriter::PropertyTable(std::span<const int> columns, TableText& table) {
    if (document_ != nullptr) {
        document::TableData data;
        data.columnTwips.assign(columns.begin(), columns.end());
        data.rows = table.TakeRows();
        document_->AddTable(data);
    } else {
        csv_->WriteLine(table.Text());
    }
}

void ReportWriter::Code(const std::vector<std::string_view>& lines, int firstLine) {
    if (document_ != nullptr) {
        document::CodeBlock code;
        code.firstLine = firstLine;
        code.lines.reserve(lines.size());
        for (const std::string_view line : lines) {
            code.lines.emplace_back(line);
        }
        document_->AddCode(code);
        return;
    }
    int number = firstLine;
    for (const std::string_view text : lines) {
        std::string cells = ",";
        if (firstLine > 0) {
            cells += std::to_string(number++);
        }
        cells += ',';
        AppendQuoted(cells, text);
        csv_->WriteLine(cells);
    }
}

void ReportWriter::EmptyLine() {
    Paragraph({});
}

void ReportWriter::Diagram(const diagram::DiagramModel& model) {
    if (document_ != nullptr) {
        document_->AddDiagram(model);
    }
}

void ReportWriter::NoneRequested() {
    Notice("None requested");
}

void ReportWriter::Notice(const std::string& text) {
    Paragraph(text);
    Paragraph({});
}

void ReportWriter::SectionEnd() {
    if (document_ != nullptr) {
        document_->SetTableStyle(7);
    }
}

TableText::TableText(const ReportWriter& writer)
    : preview_(writer.Target() == ReportTarget::Preview),
      columnSeparator_(writer.ColumnSeparator()),
      rowSeparator_(writer.RowSeparator()),
      quote_(writer.Target() == ReportTarget::CsvFile && writer.Quoting() == CsvQuoting::Rfc4180) {}

void TableText::AppendCell(std::string_view cell) {
    if (preview_) {
        cells_.emplace_back(cell);
    } else if (quote_ && NeedsQuotes(cell)) {
        AppendQuoted(text_, cell);
    } else {
        text_.append(cell);
    }
}

void TableText::Indent() {
    if (!preview_) {
        text_.append(columnSeparator_);
    } else if (cells_.empty()) {
        cells_.emplace_back();
    }
}

void TableText::FinishRow() {
    if (preview_) {
        rows_.push_back(std::move(cells_));
        cells_.clear();
    } else {
        text_.append(rowSeparator_);
    }
}

void TableText::AppendPair(std::string_view label, std::string_view value) {
    AppendCell(label);
    if (!preview_) {
        text_.append(columnSeparator_);
    }
    AppendCell(value);
    FinishRow();
}

void TableText::AppendRow(std::string_view label, std::string_view value) {
    Indent();
    AppendCell(label);
    if (!preview_) {
        text_.append(columnSeparator_);
    }
    AppendCell(value);
    FinishRow();
}

void TableText::AppendCaption(std::string_view prefix, std::string_view name) {
    std::string caption;
    caption.reserve(prefix.size() + name.size());
    caption.append(prefix);
    caption.append(name);
    // Two captions in a row (a member without rows before the next) share
    // the cell, as they share it in the CSV text.
    if (preview_ && !cells_.empty()) {
        cells_.back() += caption;
        return;
    }
    AppendCell(caption);
}

void TableText::EndRow() {
    if (preview_ && cells_.empty()) {
        cells_.emplace_back();
    }
    FinishRow();
}

void TableText::AppendComparisonRow(std::string_view label, std::string_view oldValue,
                                    std::string_view newValue) {
    Indent();
    bool first = true;
    for (const std::string_view cell : {label, oldValue, newValue}) {
        if (!preview_ && !first) {
            text_.append(columnSeparator_);
        }
        AppendCell(cell);
        first = false;
    }
    FinishRow();
}

void TableText::AppendChangeWord(std::string_view word) {
    Indent();
    AppendCell(word);
    FinishRow();
}

void TableText::Append(const TableText& other) {
    text_ += other.text_;
    rows_.insert(rows_.end(), other.rows_.begin(), other.rows_.end());
}

std::vector<std::vector<std::string>> TableText::TakeRows() {
    std::vector<std::vector<std::string>> rows = std::move(rows_);
    rows_.clear();
    if (!cells_.empty()) {
        rows.push_back(std::move(cells_));
        cells_.clear();
    }
    return rows;
}

}  // namespace ostrel::engine
