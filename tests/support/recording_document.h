#pragma once

#include <string>
#include <vector>

#include "components/document/report_document.h"

namespace ostrel::document {

// A document that only records the calls it receives, one text per call, for
// tests: "AddParagraph(Title)", "SetTextSize(8)", "AddTable(2000|8000;...)".
// Its page count is set by the test (1 by default).
class RecordingDocument : public ReportDocument {
  public:
    void SetPageBorder(std::int32_t style) override;
    void SetCaptionTextSize(std::int16_t points) override;
    void SetPageCaption(const std::string& caption) override;
    void StartDocument() override;
    void SetTextSize(std::int16_t points) override;
    void SetHeadingEmphasis(bool on) override;
    void SetObjectHeadingEmphasis(bool on) override;
    void SetTableStyle(std::int32_t style) override;
    void AddParagraph(const std::string& text) override;
    using ReportDocument::AddTable;
    // Recorded in the text form: "AddTable(2000|8000;Version|4.0;)".
    void AddTable(const TableData& table) override;
    // Recorded apart from the other calls, as "BeginSection(title)" and
    // "BeginObject(kind|name)", so that the calls read as the report's forms.
    void BeginSection(const std::string& title) override;
    void BeginObject(const std::string& kind, const std::string& name) override;
    // Recorded as "AddDiagram(3 tables, 2 relationships)".
    void AddDiagram(const diagram::DiagramModel& model) override;
    void EndDocument() override;
    int PageCount() const override { return pageCount_; }
    int PreviewPage() const override { return previewPage_; }
    void SetPreviewPage(int page) override;
    void PrintDocument() override;

    void SetPageCountForTest(int count) { pageCount_ = count; }
    const std::vector<std::string>& Calls() const { return calls_; }
    const std::vector<std::string>& Blocks() const { return blocks_; }
    // Only the AddTable texts, in order.
    std::vector<std::string> Tables() const;

  private:
    std::vector<std::string> calls_;
    std::vector<std::string> blocks_;
    int pageCount_ = 1;
    int previewPage_ = 1;
};

}  // namespace ostrel::document
