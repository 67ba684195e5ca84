#include "tests/support/recording_document.h"

#include "components/diagram/diagram_model.h"

namespace ostrel::document {
namespace {

std::string BoolText(bool on) {
    return on ? "True" : "False";
}

}  // namespace

void RecordingDocument::SetPageBorder(std::int32_t style) {
    calls_.push_back("SetPageBorder(" + std::to_string(style) + ")");
}
void RecordingDocument::SetCaptionTextSize(std::int16_t points) {
    calls_.push_back("SetCaptionTextSize(" + std::to_string(points) + ")");
}
void RecordingDocument::SetPageCaption(const std::string& caption) {
    calls_.push_back("SetPageCaption(" + caption + ")");
}
void RecordingDocument::StartDocument() {
    calls_.emplace_back("StartDocument()");
    previewPage_ = 1;
}
void RecordingDocument::SetTextSize(std::int16_t points) {
    calls_.push_back("SetTextSize(" + std::to_string(points) + ")");
}
void RecordingDocument::SetHeadingEmphasis(bool on) {
    calls_.push_back("SetHeadingEmphasis(" + BoolText(on) + ")");
}
void RecordingDocument::SetObjectHeadingEmphasis(bool on) {
    calls_.push_back("SetObjectHeadingEmphasis(" + BoolText(on) + ")");
}
void RecordingDocument::SetTableStyle(std::int32_t style) {
    calls_.push_back("SetTableStyle(" + std::to_string(style) + ")");
}
void RecordingDocument::AddParagraph(const std::string& text) {
    calls_.push_back("AddParagraph(" + text + ")");
}
void RecordingDocument::AddTable(const TableData& table) {
    calls_.push_back("AddTable(" + TableDataText(table) + ")");
}
void RecordingDocument::BeginSection(const std::string& title) {
    blocks_.push_back("BeginSection(" + title + ")");
}
void RecordingDocument::BeginObject(const std::string& kind, const std::string& name) {
    blocks_.push_back("BeginObject(" + kind + "|" + name + ")");
}
void RecordingDocument::AddDiagram(const diagram::DiagramModel& model) {
    calls_.push_back("AddDiagram(" + std::to_string(model.tables.size()) + " tables, " +
                     std::to_string(model.relations.size()) + " relationships)");
}
void RecordingDocument::EndDocument() {
    calls_.emplace_back("EndDocument()");
}
void RecordingDocument::SetPreviewPage(int page) {
    previewPage_ = page;
}
void RecordingDocument::PrintDocument() {
    calls_.emplace_back("PrintDocument()");
}

std::vector<std::string> RecordingDocument::Tables() const {
    static const std::string kPrefix = "AddTable(";
    std::vector<std::string> tables;
    for (const std::string& call : calls_) {
        if (call.rfind(kPrefix, 0) == 0) {
            tables.push_back(call.substr(kPrefix.size(), call.size() - kPrefix.size() - 1));
        }
    }
    return tables;
}

}  // namespace ostrel::document
