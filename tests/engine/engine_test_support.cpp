#include "engine_test_support.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

namespace ostrel::engine::testing {

bool MapSwitches::GetReportSwitch(std::string_view key) const {
    reads.emplace_back(key);
    const auto found = values_.find(key);
    if (found == values_.end()) {
        return true;
    }
    const auto value = ParseSwitchText(found->second);
    if (!value) {
        throw SwitchError("the switch '" + std::string(key) + "' holds '" + found->second +
                          "', which is neither True nor False");
    }
    return *value;
}

void MapSwitches::AllOff() {
    for (const SwitchInfo& info : SwitchTable()) {
        Set(std::string(info.key), false);
    }
}

std::string FixedFormatter::FormatDateTime(const schema::DateTime& v) const {
    std::string text =
        std::to_string(v.year) + "-" + std::to_string(v.month) + "-" + std::to_string(v.day);
    if (!v.IsMidnight()) {
        text += " " + std::to_string(v.hour) + ":" + std::to_string(v.minute) + ":" +
                std::to_string(v.second);
    }
    return text;
}

class RecordingPreviewWindow : public PagedOutput {
  public:
    RecordingPreviewWindow(FakeHost& host, int pages) : host_(host) {
        document_.SetPageCountForTest(pages);
    }
    ~RecordingPreviewWindow() override {
        host_.documentCalls = document_.Calls();
        host_.windowCalls = calls_;
    }
    RecordingPreviewWindow(const RecordingPreviewWindow&) = delete;
    RecordingPreviewWindow& operator=(const RecordingPreviewWindow&) = delete;

    document::ReportDocument& Document() override { return document_; }
    void Complete(int pages) override {
        calls_.push_back("Complete(" + std::to_string(pages) + ")");
        host_.previewShown = true;
    }

  private:
    FakeHost& host_;
    document::RecordingDocument document_;
    std::vector<std::string> calls_;
};

void FakeHost::SetStatusText(int panel, const std::string& text) {
    (panel == 1 ? panel1 : panel2) = text;
}

void FakeHost::RepaintStatus() {
    painted.push_back("1:" + panel1 + " 2:" + panel2);
}

void FakeHost::ShowMessage(const std::string& text, MessageIcon icon, const std::string& caption) {
    messages.push_back({text, icon, caption});
}

bool FakeHost::IsSelected(ObjectKind kind, const std::string& name) const {
    switch (kind) {
        case ObjectKind::Table:
            return allTables || tables.contains(name);
        case ObjectKind::Query:
            return allQueries || queries.contains(name);
        default:
            break;
    }
    return true;
}

RunRequest FakeHost::Request() {
    RunRequest request;
    request.databasePath = databasePath;
    request.target = target;
    request.outputPath = csvPath;
    request.pagedOutput = [this] { return LoadPreviewWindow(); };
    return request;
}

bool FakeHost::GoOn() {
    ++goOnAsked;
    return goOnAnswers < 0 || goOnAsked <= goOnAnswers;
}

std::unique_ptr<PagedOutput> FakeHost::LoadPreviewWindow() {
    documentCalls.clear();
    windowCalls.clear();
    return std::make_unique<RecordingPreviewWindow>(*this, pageCount);
}

SectionHarness::SectionHarness(ReportTarget target) {
    host.target = target;
    writer_ = target == ReportTarget::Preview ? std::make_unique<ReportWriter>(document_)
                                              : std::make_unique<ReportWriter>(sink_);
    forms_ = std::make_unique<FormsRenderer>(*writer_, formatter);
}

void SectionHarness::Write(ReportPart part, const schema::Database& database) {
    const ReportBuilder builder(database, switches);
    WalkContext context{host, host, host, pass_, place_};
    WalkPart(part, builder, *forms_, context);
}

namespace {

class SpyDatabase : public schema::Database {
  public:
    SpyDatabase(std::unique_ptr<schema::Database> inner, int& closed)
        : inner_(std::move(inner)), closed_(closed) {}
    std::int32_t CollatingOrder() const override { return inner_->CollatingOrder(); }
    std::string ReplicaID() const override { return inner_->ReplicaID(); }
    std::string Version() const override { return inner_->Version(); }
    bool Transactions() const override { return inner_->Transactions(); }
    bool Updatable() const override { return inner_->Updatable(); }
    const schema::Collection<schema::TableDef>& TableDefs() const override {
        return inner_->TableDefs();
    }
    const schema::Collection<schema::QueryDef>& QueryDefs() const override {
        return inner_->QueryDefs();
    }
    const schema::Collection<schema::Relation>& Relations() const override {
        return inner_->Relations();
    }
    void Close() override {
        ++closed_;
        inner_->Close();
    }

  private:
    std::unique_ptr<schema::Database> inner_;
    int& closed_;
};

}  // namespace

std::unique_ptr<schema::Database> ClosingSpyEngine::OpenDatabase(const std::string& path) {
    auto database = inner_.OpenDatabase(path);
    ++opened;
    return std::make_unique<SpyDatabase>(std::move(database), closed);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Golden(const std::string& name) {
    const std::string path = std::string(OSTREL_SOURCE_DIR) + "/tests/engine/golden/" + name;
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << "missing golden file " << path;
    return ReadFile(path);
}

void ExpectGolden(const std::string& name, const std::string& actual) {
    const char* write = std::getenv("OSTREL_WRITE_GOLDEN");  // NOLINT(concurrency-mt-unsafe)
    if (write != nullptr && std::string(write) == "1") {
        std::ofstream out(std::string(OSTREL_SOURCE_DIR) + "/tests/engine/golden/" + name,
                          std::ios::binary);
        out << actual;
        return;
    }
    EXPECT_EQ(actual, Golden(name)) << "golden file " << name;
}

}  // namespace ostrel::engine::testing
