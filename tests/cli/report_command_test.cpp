// The whole command over an in-memory database: exit statuses, messages, and
// where the report goes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/all_on_switches.h"
#include "cli/report_command.h"
#include "components/memory/memory_database.h"
#include "components/memory/memory_schema.h"

namespace ostrel::cli {
namespace {

namespace fs = std::filesystem;

class FixedFormatter final : public engine::ValueFormatter {
  public:
    std::string FormatDateTime(const schema::DateTime& value) const override {
        return std::to_string(value.year) + "-" + std::to_string(value.month) + "-" +
               std::to_string(value.day);
    }
    schema::DateTime Now() const override { return {2026, 12, 6, 0, 0, 0}; }
};

class ReportCommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("ostrel2-cli-test-" +
                   std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        database_ = (folder_ / "sample.mdb").string();
        std::ofstream(database_) << "stands in for the database file";

        memory::DatabaseBlueprint blueprint;
        for (const char* name : {"Orders", "MSysObjects"}) {
            memory::TableBlueprint table;
            table.name = name;
            blueprint.tables.push_back(table);
        }
        memory::QueryBlueprint query;
        query.name = "Totals";
        query.sql = "SELECT 1;";
        blueprint.queries.push_back(query);
        engine_.Register(database_, blueprint);
    }
    void TearDown() override { fs::remove_all(folder_); }

    int Run(std::vector<std::string_view> arguments) {
        arguments.push_back(database_);
        return RunWithoutDatabase(arguments);
    }
    int RunWithoutDatabase(const std::vector<std::string_view>& arguments) {
        out_.str("");
        err_.str("");
        const CommandLine line = ParseCommandLine(arguments);
        return RunReportCommand(line, {engine_, switches_, formatter_, pdfWindow_},
                                {out_, err_, false});
    }

    fs::path folder_;
    std::string database_;
    memory::MemoryEngine engine_;
    AllOnSwitches switches_;
    FixedFormatter formatter_;
    PdfOutputFactory pdfWindow_;
    std::ostringstream out_;
    std::ostringstream err_;
};

TEST_F(ReportCommandTest, ReportToStandardOutputWithDefaultSelection) {
    EXPECT_EQ(Run({}), kExitSuccess);
    const std::string report = out_.str();
    EXPECT_EQ(report.rfind("Ostrel2 Version 1.0.6\r\n\r\nReport produced : 2026-12-6\r\n", 0), 0U)
        << report;
    EXPECT_NE(report.find("Orders"), std::string::npos);
    EXPECT_NE(report.find("Totals"), std::string::npos);
    EXPECT_EQ(report.find("MSysObjects"), std::string::npos);
    EXPECT_EQ(err_.str(), "");
}

TEST_F(ReportCommandTest, NamedObjectsOnly) {
    EXPECT_EQ(Run({"--table", "MSysObjects"}), kExitSuccess);
    EXPECT_NE(out_.str().find("MSysObjects"), std::string::npos);
    EXPECT_EQ(out_.str().find("Orders"), std::string::npos);
    EXPECT_EQ(out_.str().find("Totals"), std::string::npos);

    EXPECT_EQ(Run({"--query", "Nope"}), kExitFailure);
    EXPECT_EQ(err_.str(), "ostrel2-report: the database holds no query named 'Nope'\n");
    EXPECT_EQ(out_.str(), "");
}

TEST_F(ReportCommandTest, ReportToFile) {
    const fs::path csv = folder_ / "report.csv";
    EXPECT_EQ(Run({"--csv", csv.string()}), kExitSuccess);
    EXPECT_EQ(out_.str(), "");
    std::ifstream in(csv, std::ios::binary);
    std::stringstream written;
    written << in.rdbuf();
    EXPECT_EQ(written.str().rfind("Ostrel2 Version 1.0.6\r\n", 0), 0U);
}

TEST_F(ReportCommandTest, MissingDatabaseExitsWithTwo) {
    EXPECT_EQ(RunWithoutDatabase({(folder_ / "absent.mdb").string()}), kExitDatabaseMissing);
    EXPECT_EQ(err_.str(), "ostrel2-report: Database does not exist\n\n" +
                              (folder_ / "absent.mdb").string() +
                              "\nThere is no file of this name.\n");
    EXPECT_EQ(out_.str(), "");
}

TEST_F(ReportCommandTest, UnwritableCsvExitsWithThreeAndCreatesNothing) {
    const fs::path csv = folder_ / "no such folder" / "report.csv";
    EXPECT_EQ(Run({"--csv", csv.string()}), kExitOutputUnwritable);
    EXPECT_EQ(err_.str(), "ostrel2-report: cannot write the CSV output to '" + csv.string() +
                              "': The folder " + csv.parent_path().string() + " does not exist.\n");
    EXPECT_FALSE(fs::exists(csv.parent_path()));

    // A folder named as the CSV file is no file to write either.
    EXPECT_EQ(Run({"--csv", folder_.string()}), kExitOutputUnwritable);
}

TEST_F(ReportCommandTest, PdfWithoutPdfSupportIsRefusedBeforeAnythingIsWritten) {
    const fs::path csv = folder_ / "report.csv";
    EXPECT_EQ(Run({"--csv", csv.string(), "--pdf", (folder_ / "r.pdf").string()}), kExitFailure);
    EXPECT_EQ(err_.str(), "ostrel2-report: PDF output is not available in this build\n");
    EXPECT_FALSE(fs::exists(csv));
}

TEST_F(ReportCommandTest, UnreadableDatabaseExitsWithFour) {
    const std::string other = (folder_ / "other.mdb").string();
    std::ofstream(other) << "not registered with the engine";
    EXPECT_EQ(RunWithoutDatabase({other}), kExitFailure);
    EXPECT_EQ(err_.str().rfind("ostrel2-report: ", 0), 0U);
    EXPECT_EQ(out_.str(), "");
}

}  // namespace
}  // namespace ostrel::cli
