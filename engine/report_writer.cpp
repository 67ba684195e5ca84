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
    std::string text(kind);
    text.append(" : ");
    text.append(name);
    if (document_ != nullptr) {
        document_->BeginObject(std::string(kind), name);
    }
    WriteObjectHeading(text);
}

void ReportWriter::ObjectHeading(const std::string& text) {
    BeginObjectOf(text);
    WriteObjectHeading(text);
}

// Tells the document which object a "Kind : Name" heading begins.
void ReportWriter::BeginObjectOf(const std::string& text) {
    static constexpr std::string_view kSeparator = " : ";
    const std::size_t at = text.find(kSeparator);
    if (document_ != nullptr && at != std::string::npos) {
        document_->BeginObject(text.substr(0, at), text.substr(at + kSeparator.size()));
    }
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

void ReportWriter::MarkedObjectHeading(const std::string& text, std::string_view symbol,
                                       std::string_view word) {
    if (document_ != nullptr) {
        BeginObjectOf(text);
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

void ReportWriter::PropertyTable(std::string_view columnFormat, const std::string& tableText) {
    if (document_ != nullptr) {
        std::string table;
        table.reserve(columnFormat.size() + tableText.size());
        table.append(columnFormat);
        table.append(tableText);
        document_->AddTable(table);
    } else {
        csv_->WriteLine(tableText);
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
    : columnSeparator_(writer.ColumnSeparator()),
      rowSeparator_(writer.RowSeparator()),
      escape_(writer.Target() == ReportTarget::Preview),
      quote_(writer.Target() == ReportTarget::CsvFile && writer.Quoting() == CsvQuoting::Rfc4180) {}

void TableText::AppendCell(std::string_view cell) {
    if (quote_ && NeedsQuotes(cell)) {
        AppendQuoted(text_, cell);
        return;
    }
    if (!escape_ || cell.find_first_of("|;\\") == std::string_view::npos) {
        text_.append(cell);
        return;
    }
    for (const char c : cell) {
        if (c == '|' || c == ';' || c == '\\') {
            text_.push_back('\\');
        }
        text_.push_back(c);
    }
}

void TableText::AppendPair(std::string_view label, std::string_view value) {
    AppendCell(label);
    text_.append(columnSeparator_);
    AppendCell(value);
    text_.append(rowSeparator_);
}

void TableText::AppendRow(std::string_view label, std::string_view value) {
    text_.append(columnSeparator_);
    AppendCell(label);
    text_.append(columnSeparator_);
    AppendCell(value);
    text_.append(rowSeparator_);
}

void TableText::AppendCaption(std::string_view prefix, std::string_view name) {
    std::string caption;
    caption.reserve(prefix.size() + name.size());
    caption.append(prefix);
    caption.append(name);
    AppendCell(caption);
}

void TableText::EndRow() {
    text_.append(rowSeparator_);
}

void TableText::AppendComparisonRow(std::string_view label, std::string_view oldValue,
                                    std::string_view newValue) {
    for (const std::string_view cell : {label, oldValue, newValue}) {
        text_.append(columnSeparator_);
        AppendCell(cell);
    }
    text_.append(rowSeparator_);
}

void TableText::AppendChangeWord(std::string_view word) {
    text_.append(columnSeparator_);
    AppendCell(word);
    text_.append(rowSeparator_);
}

}  // namespace ostrel::engine
