// --pdf: the paged report saved by the batch program's preview window.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/all_on_switches.h"
#include "cli/pdf_output.h"
#include "cli/report_command.h"
#include "components/memory/memory_database.h"
#include "components/memory/memory_schema.h"

namespace ostrel::cli {
namespace {

namespace fs = std::filesystem;

class FixedFormatter final : public engine::ValueFormatter {
  public:
    std::string FormatDateTime(const schema::DateTime& /*value*/) const override {
        return "12/6/2026";
    }
    schema::DateTime Now() const override { return {2026, 12, 6, 0, 0, 0}; }
};

class PdfOutputTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureGuiApplication();
        folder_ = fs::temp_directory_path() /
                  ("ostrel2-pdf-test-" +
                   std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        database_ = (folder_ / "sample.mdb").string();
        std::ofstream(database_) << "stands in for the database file";
        memory::DatabaseBlueprint blueprint;
        for (int i = 0; i < 40; ++i) {
            memory::TableBlueprint table;
            table.name = "Table" + std::to_string(i);
            blueprint.tables.push_back(table);
        }
        engine_.Register(database_, blueprint);
    }
    void TearDown() override { fs::remove_all(folder_); }

    int Run(const std::vector<std::string_view>& arguments) {
        out_.str("");
        err_.str("");
        const PdfOutputFactory pdfWindow = [](const std::string& path) {
            return std::make_unique<PdfOutput>(path);
        };
        return RunReportCommand(ParseCommandLine(arguments),
                                {engine_, switches_, formatter_, pdfWindow}, {out_, err_, false});
    }

    static std::string Head(const fs::path& file, std::size_t bytes) {
        std::ifstream in(file, std::ios::binary);
        std::string head(bytes, '\0');
        in.read(head.data(), static_cast<std::streamsize>(bytes));
        head.resize(static_cast<std::size_t>(in.gcount()));
        return head;
    }

    fs::path folder_;
    std::string database_;
    memory::MemoryEngine engine_;
    AllOnSwitches switches_;
    FixedFormatter formatter_;
    std::ostringstream out_;
    std::ostringstream err_;
};

TEST_F(PdfOutputTest, SavesThePagedReport) {
    const fs::path pdf = folder_ / "report.pdf";
    ASSERT_EQ(Run({"--pdf", pdf.string(), database_}), kExitSuccess) << err_.str();
    EXPECT_EQ(Head(pdf, 5), "%PDF-");
    EXPECT_EQ(out_.str(), "");
    EXPECT_EQ(err_.str(), "");
}

TEST_F(PdfOutputTest, CsvAndPdfTogether) {
    const fs::path pdf = folder_ / "report.pdf";
    ASSERT_EQ(Run({"--csv", "-", "--pdf", pdf.string(), database_}), kExitSuccess) << err_.str();
    EXPECT_EQ(out_.str().rfind("Ostrel2 Version 1.0.6\r\n", 0), 0U);
    EXPECT_EQ(Head(pdf, 5), "%PDF-");
}

TEST_F(PdfOutputTest, UnwritablePdfFailsWithItsReason) {
    const fs::path pdf = folder_ / "missing folder" / "report.pdf";
    EXPECT_EQ(Run({"--pdf", pdf.string(), database_}), kExitOutputUnwritable);
    EXPECT_NE(err_.str().find("cannot write the PDF output to '" + pdf.string() + "'"),
              std::string::npos)
        << err_.str();
    EXPECT_FALSE(fs::exists(pdf.parent_path()));
}

}  // namespace
}  // namespace ostrel::cli
