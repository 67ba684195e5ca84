#include "engine/report_run.h"

#include <gtest/gtest.h>

#include "engine_test_support.h"
#include "sample_database.h"
#include "temp_folder.h"

namespace ostrel::engine::testing {
namespace {

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

struct RunFixture : ::testing::Test {
    RunFixture() {
        host.databasePath = folder.Write("sample.mdb", "not read: the engine is in memory");
        host.csvPath = (folder.Path() / "report.csv").string();
        host.allTables = false;
        host.tables = {"Customers", "Orders", "Linked", "MSysObjects"};
        host.allQueries = false;
        host.queries = {"Big Orders", "Make Archive", "By Region"};
        engine.Register(host.databasePath, SampleDatabase());
    }
    RunOutcome Run() { return run.RunReport(host); }

    TempFolder folder;
    FakeHost host;
    memory::MemoryEngine engine;
    MapSwitches switches;
    FixedFormatter formatter;
    ReportRun run{engine, switches, formatter};
};

TEST_F(RunFixture, WholeCsvRunMatchesGolden) {
    ASSERT_EQ(Run(), RunOutcome::Finished);
    ExpectGolden("sample_run.csv",
                 ReplaceAll(ReadFile(host.csvPath), host.databasePath, "@DATABASE@"));
}

}  // namespace
}  // namespace ostrel::engine::testing
