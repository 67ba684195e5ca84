#include "engine/report_writer.h"

namespace ostrel::engine {

ReportWriter::ReportWriter(document::ReportDocument& document)
    : target_(ReportTarget::Preview), document_(&document) {}

ReportWriter::ReportWriter(LineSink& csv) : target_(ReportTarget::CsvFile), csv_(&csv) {}

std::string_view ReportWriter::ColumnSeparator() const {
    return target_ == ReportTarget::Preview ? "|" : ",";
}

std::string_view ReportWriter::RowSeparator() const {
    return target_ == ReportTarget::Preview ? ";" : "\r\n";
}

void ReportWriter::Paragraph(const std::string& text) {
    if (document_ != nullptr) {
        document_->AddParagraph(text);
    } else {
        csv_->WriteLine(text);
    }
}

void ReportWriter::TitleBlock(const std::string& titleLine, const std::string& dateLine,
                              const std::string& pathLine) {
    if (document_ != nullptr) {
        document_->SetTextSize(14);
    }
    for (const std::string* line : {&titleLine, &dateLine, &pathLine}) {
        Paragraph(*line);
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
        csv_->WriteLine(text);
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
    static constexpr std::string_view kSeparator = " : ";
    const std::size_t at = text.find(kSeparator);
    if (at == std::string::npos) {
        WriteObjectHeading(text);
        return;
    }
    ObjectHeading(std::string_view(text).substr(0, at), text.substr(at + kSeparator.size()));
}

void ReportWriter::WriteObjectHeading(const std::string& text) {
    if (document_ != nullptr) {
        document_->SetObjectHeadingEmphasis(true);
        document_->AddParagraph(text);
        document_->SetObjectHeadingEmphasis(false);
        document_->AddParagraph({});
    } else {
        csv_->WriteLine(text);
        csv_->WriteLine({});
    }
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

void ReportWriter::NoneRequested() {
    Paragraph("None requested");
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
      escape_(writer.Target() == ReportTarget::Preview) {}

void TableText::AppendCell(std::string_view cell) {
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
    text_.append(prefix);
    AppendCell(name);
}

void TableText::EndRow() {
    text_.append(rowSeparator_);
}

}  // namespace ostrel::engine
