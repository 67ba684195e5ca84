#include "engine/run.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <utility>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine_test_support.h"
#include "sample_database.h"
#include "temp_folder.h"

namespace ostrel::engine::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr const char* kCsvMessage =
    "Unable to open CSV file - please check that it is not locked elsewhere";

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

std::string Join(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += '\n';
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
        Register(SampleDatabase());
    }
    void Register(memory::DatabaseBlueprint blueprint) {
        memoryEngine.Register(host.databasePath, std::move(blueprint));
    }
    RunOutcome Run() {
        RunPorts ports = host.Ports();
        return run.Report(host.Request(), ports);
    }
    const RecordedMessage& OnlyMessage() const {
        EXPECT_EQ(host.messages.size(), 1U);
        static const RecordedMessage none{};
        return host.messages.empty() ? none : host.messages.front();
    }

    TempFolder folder;
    FakeHost host;
    memory::MemoryEngine memoryEngine;
    ClosingSpyEngine engine{memoryEngine};
    MapSwitches switches;
    FixedFormatter formatter;
    ::ostrel::engine::Run run{engine, switches, formatter};
};

TEST_F(RunFixture, WholeCsvRunMatchesGolden) {
    ASSERT_EQ(Run(), RunOutcome::Finished);
    ExpectGolden("sample_run.csv",
                 ReplaceAll(ReadFile(host.csvPath), host.databasePath, "@DATABASE@"));
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(engine.closed, 1);
    EXPECT_THAT(folder.Entries(), ElementsAre("report.csv", "sample.mdb"));
}

TEST_F(RunFixture, WholePreviewRunMatchesGolden) {
    host.target = ReportTarget::Preview;
    ASSERT_EQ(Run(), RunOutcome::Finished);
    ExpectGolden("sample_preview.txt",
                 ReplaceAll(Join(host.documentCalls), host.databasePath, "@DATABASE@"));
    EXPECT_TRUE(host.previewShown);
    EXPECT_EQ(engine.closed, 1);
    EXPECT_FALSE(std::filesystem::exists(host.csvPath));
}

TEST_F(RunFixture, PreviewSetupAndTitleBlockComeFirst) {
    host.target = ReportTarget::Preview;
    ASSERT_EQ(Run(), RunOutcome::Finished);
    const std::vector<std::string> head(host.documentCalls.begin(),
                                        host.documentCalls.begin() + 13);
    EXPECT_THAT(
        head,
        ElementsAre("SetPageBorder(0)", "SetPageCaption(|Page %d|)", "SetCaptionTextSize(8)",
                    "StartDocument()", "SetTextSize(14)", "AddParagraph(Ostrel2 Version 1.0.6)",
                    "AddParagraph()", "AddParagraph(Report produced : 2026-12-6 18:15:30)",
                    "AddParagraph()", "AddParagraph(On contents of : " + host.databasePath + ")",
                    "AddParagraph()", "SetTextSize(8)", "SetHeadingEmphasis(True)"));
    EXPECT_EQ(host.documentCalls.back(), "EndDocument()");
}

// The finished document goes to the preview with its page count; the window
// sets up its page buttons and caption from it.
TEST_F(RunFixture, FinishedPreviewIsCompletedWithItsPageCount) {
    host.target = ReportTarget::Preview;
    for (const int pages : {1, 3}) {
        host.pageCount = pages;
        ASSERT_EQ(Run(), RunOutcome::Finished);
        EXPECT_THAT(host.windowCalls, ElementsAre("Complete(" + std::to_string(pages) + ")"));
    }
}

TEST_F(RunFixture, StatusBarFollowsThePassesAndEndsFinished) {
    ASSERT_EQ(Run(), RunOutcome::Finished);
    std::vector<std::string> passes;
    for (const std::string& painted : host.painted) {
        const std::string panel1 = painted.substr(0, painted.find(" 2:"));
        if (passes.empty() || passes.back() != panel1) {
            passes.push_back(panel1);
        }
    }
    EXPECT_THAT(passes, ElementsAre("1:Pass 0", "1:Pass 1", "1:Pass 2", "1:Pass 3", "1:Pass 4",
                                    "1:Finished processing"));
    EXPECT_EQ(host.painted.back(), "1:Finished processing 2:");
    EXPECT_THAT(host.painted, ::testing::Contains("1:Pass 2 2:Processing table : Customers"));
    EXPECT_THAT(host.painted, ::testing::Not(::testing::Contains(HasSubstr("Unticked"))));
    EXPECT_THAT(host.painted,
                ::testing::Contains("1:Pass 3 2:Processing relationship : OrderLines"));
    EXPECT_THAT(host.painted, ::testing::Contains("1:Pass 4 2:Processing query : By Region"));
}

TEST_F(RunFixture, SecondRunStartsAgainAtPassZero) {
    ASSERT_EQ(Run(), RunOutcome::Finished);
    host.painted.clear();
    ASSERT_EQ(Run(), RunOutcome::Finished);
    EXPECT_EQ(host.painted.front(), "1:Pass 0 2:");
    EXPECT_EQ(engine.opened, 2);
    EXPECT_EQ(engine.closed, 2);
}

TEST_F(RunFixture, MissingDatabaseEndsBeforeAnythingElse) {
    // The first line as it always was, then the file and why.
    const std::vector<std::pair<std::string, std::string>> cases{
        {std::string(), "Database does not exist\n\nNo file was named."},
        {(folder.Path() / "absent.mdb").string(), "There is no file of this name."},
        {folder.Path().string(), "It is a folder, not a database file."},
        {folder.Write(".hidden.mdb", "x"), "It is a hidden file (its name begins with a dot)."}};
    for (const auto& [path, why] : cases) {
        host.databasePath = path;
        host.messages.clear();
        EXPECT_EQ(Run(), RunOutcome::DatabaseMissing) << path;
        ASSERT_EQ(host.messages.size(), 1U);
        EXPECT_EQ(host.messages[0].text,
                  path.empty() ? why : "Database does not exist\n\n" + path + "\n" + why);
        EXPECT_EQ(host.messages[0].icon, MessageIcon::Exclamation);
        EXPECT_EQ(host.messages[0].caption, "Ostrel2");
    }
    EXPECT_EQ(engine.opened, 0);
    EXPECT_TRUE(host.panel1.empty());
    EXPECT_TRUE(host.painted.empty());
}

TEST_F(RunFixture, DatabaseThatCannotBeOpenedEndsWithAMessage) {
    host.databasePath = folder.Write("other.mdb", "x");  // not registered: not a database
    EXPECT_EQ(Run(), RunOutcome::Failed);
    EXPECT_EQ(OnlyMessage().text,
              "The report could not be completed.\n\nWhile opening the "
              "database: '" +
                  host.databasePath + "' is not an Access database");
    EXPECT_EQ(OnlyMessage().icon, MessageIcon::Critical);
    EXPECT_FALSE(std::filesystem::exists(host.csvPath));
}

// Each path that cannot take the report gives the message right after the
// database was opened: the usual first line, then the path and the reason,
// with the critical icon. Nothing is created or changed, and the status bar
// does not go on saying that the database is being opened.
class UnwritableCsvTest : public RunFixture {
  protected:
    void ExpectRefused(const std::string& csvPath, const std::string& reason) {
        host.messages.clear();
        host.painted.clear();
        engine.opened = engine.closed = 0;
        host.csvPath = csvPath;
        const auto before = folder.Entries();
        EXPECT_EQ(Run(), RunOutcome::OutputUnwritable) << csvPath;
        const std::string shown = csvPath.empty() ? reason : csvPath + "\n" + reason;
        EXPECT_EQ(OnlyMessage().text, std::string(kCsvMessage) + "\n\n" + shown);
        EXPECT_EQ(OnlyMessage().icon, MessageIcon::Critical);
        EXPECT_EQ(OnlyMessage().caption, "Ostrel2");
        EXPECT_EQ(folder.Entries(), before);
        EXPECT_EQ(engine.opened, 1);
        EXPECT_EQ(engine.closed, 1);
        EXPECT_EQ(host.panel1, "Report not completed");
        EXPECT_THAT(host.painted, ElementsAre("1:Report not completed 2:"));
    }
};

TEST_F(UnwritableCsvTest, EmptyPath) {
    ExpectRefused("", "No file name was given.");
}

TEST_F(UnwritableCsvTest, MissingFolder) {
    const auto missing = folder.Path() / "no such folder";
    ExpectRefused((missing / "report.csv").string(),
                  "The folder " + missing.string() + " does not exist.");
}

TEST_F(UnwritableCsvTest, AFolder) {
    std::filesystem::create_directory(folder.Path() / "reports");
    ExpectRefused((folder.Path() / "reports").string(), "It is a folder.");
    ExpectRefused((folder.Path() / "reports").string() + "/", "It names a folder, not a file.");
}

TEST_F(UnwritableCsvTest, ReadOnlyFileIsLeftAsItWas) {
    const std::string path = folder.Write("locked.csv", "old report");
    ::chmod(path.c_str(), 0444);
    ExpectRefused(path, "The file is read-only.");
    EXPECT_EQ(ReadFile(path), "old report");
}

TEST_F(UnwritableCsvTest, TheDatabaseItselfIsNeverReplaced) {
    const std::string database = ReadFile(host.databasePath);
    ExpectRefused(host.databasePath, "It is the database being documented.");
    EXPECT_EQ(ReadFile(host.databasePath), database);
    const std::string link = (folder.Path() / "link.csv").string();
    std::filesystem::create_symlink(host.databasePath, link);
    ExpectRefused(link, "It is the database being documented.");
    EXPECT_EQ(ReadFile(host.databasePath), database);
}

TEST_F(UnwritableCsvTest, FolderWithoutPermission) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permissions do not bind the superuser";
    }
    const auto locked = folder.Path() / "locked";
    std::filesystem::create_directory(locked);
    ::chmod(locked.c_str(), 0555);
    ExpectRefused((locked / "report.csv").string(),
                  "Permission denied: no new file can be made in the folder " + locked.string() +
                      " (Permission denied).");
}

TEST_F(RunFixture, SuccessfulRunReplacesTheOldFileAndKeepsItsPermissions) {
    const std::string path = folder.Write("report.csv", "old report");
    ::chmod(path.c_str(), 0640);
    ASSERT_EQ(Run(), RunOutcome::Finished);
    EXPECT_THAT(ReadFile(path), ::testing::StartsWith("Ostrel2 Version 1.0.6\r\n"));
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777U, 0640U);
    EXPECT_THAT(folder.Entries(), ElementsAre("report.csv", "sample.mdb"));
}

TEST_F(RunFixture, FailedRunLeavesTheOldFileAndNoTemporary) {
    folder.Write("report.csv", "old report");
    memory::DatabaseBlueprint blueprint = SampleDatabase();
    blueprint.tables[1].fields[1].refused = {"Size"};
    Register(blueprint);
    EXPECT_EQ(Run(), RunOutcome::Failed);
    EXPECT_EQ(ReadFile(host.csvPath), "old report");
    EXPECT_THAT(folder.Entries(), ElementsAre("report.csv", "sample.mdb"));
    EXPECT_EQ(OnlyMessage().text,
              "The report could not be completed.\n\nWhile writing table 'Orders', field "
              "'CustomerID': property 'Size' of 'CustomerID' is not available");
    EXPECT_EQ(OnlyMessage().icon, MessageIcon::Critical);
    EXPECT_EQ(OnlyMessage().caption, "Ostrel2");
    EXPECT_EQ(engine.closed, 1);
    EXPECT_EQ(host.painted.back(), "1:Report not completed 2:");
}

// The host is asked at every object; a no at any of them ends the run
// quietly: no message, no file replaced or left behind, no preview shown.
TEST_F(RunFixture, CancelledRunWritesNothingWhereverItStops) {
    host.goOnAnswers = -1;
    ASSERT_EQ(Run(), RunOutcome::Finished);
    const int asked = host.goOnAsked;
    // Four sections and the seven ticked objects.
    EXPECT_GE(asked, 4 + 7);
    for (const ReportTarget target : {ReportTarget::CsvFile, ReportTarget::Preview}) {
        for (int answers : {0, asked / 2, asked - 1}) {
            folder.Write("report.csv", "old report");
            host.target = target;
            host.goOnAsked = 0;
            host.goOnAnswers = answers;
            host.previewShown = false;
            host.messages.clear();
            EXPECT_EQ(Run(), RunOutcome::Cancelled) << answers;
            EXPECT_EQ(ReadFile(host.csvPath), "old report");
            EXPECT_THAT(folder.Entries(), ElementsAre("report.csv", "sample.mdb"));
            EXPECT_TRUE(host.messages.empty());
            EXPECT_FALSE(host.previewShown);
            EXPECT_EQ(host.panel1, "Report cancelled");
        }
    }
    EXPECT_EQ(engine.closed, 1 + 6);
}

// The comparison goes the report's way: it can be stopped wherever it is,
// leaving the earlier file, and its failures name the file and the reason in
// the report's words.
TEST_F(RunFixture, ComparisonStopsAndFailsAsTheReportDoes) {
    memory::DatabaseBlueprint changed = SampleDatabase();
    changed.tables[0].validationText = "Changed.";
    const std::string newPath = folder.Write("new.mdb", "not read: the engine is in memory");
    memoryEngine.Register(newPath, std::move(changed));
    const auto compare = [&](const std::string& path) {
        RunPorts ports = host.Ports();
        return run.Compare(host.Request(), path, ComparisonOptions{}, false, ports);
    };
    const ComparisonOutcome whole = compare(newPath);
    ASSERT_EQ(whole.outcome, RunOutcome::Finished);
    EXPECT_TRUE(whole.differences);
    const int asked = host.goOnAsked;
    EXPECT_GE(asked, 7);
    for (int answers : {0, asked / 2, asked - 1}) {
        folder.Write("report.csv", "old report");
        host.goOnAsked = 0;
        host.goOnAnswers = answers;
        host.messages.clear();
        EXPECT_EQ(compare(newPath).outcome, RunOutcome::Cancelled) << answers;
        EXPECT_EQ(ReadFile(host.csvPath), "old report");
        EXPECT_TRUE(host.messages.empty());
        EXPECT_EQ(host.panel1, "Comparison cancelled");
    }
    host.goOnAnswers = -1;

    const std::string broken = folder.Write("broken.mdb", "x");
    EXPECT_EQ(compare(broken).outcome, RunOutcome::Failed);
    EXPECT_EQ(OnlyMessage().text,
              "The comparison could not be completed.\n\nWhile opening the "
              "new database '" +
                  broken + "': '" + broken + "' is not an Access database");
    EXPECT_EQ(OnlyMessage().icon, MessageIcon::Critical);

    host.messages.clear();
    host.csvPath = (folder.Path() / "no folder" / "report.csv").string();
    EXPECT_EQ(compare(newPath).outcome, RunOutcome::OutputUnwritable);
    EXPECT_EQ(OnlyMessage().text, std::string(kCsvMessage) + "\n\n" + host.csvPath +
                                      "\nThe folder " + (folder.Path() / "no folder").string() +
                                      " does not exist.");
    EXPECT_EQ(host.panel1, "Comparison not completed");
    EXPECT_EQ(engine.opened, engine.closed);
}

TEST_F(RunFixture, FailedRunCreatesNoFileWhereThereWasNone) {
    memory::DatabaseBlueprint blueprint = SampleDatabase();
    blueprint.queries[2].parameters[1].refused = {"Type"};
    Register(blueprint);
    EXPECT_EQ(Run(), RunOutcome::Failed);
    EXPECT_THAT(folder.Entries(), ElementsAre("sample.mdb"));
    EXPECT_THAT(OnlyMessage().text,
                HasSubstr("While writing query 'By Region', parameter 'Year': property 'Type'"));
}

TEST_F(RunFixture, FailedPreviewRunIsNotShown) {
    host.target = ReportTarget::Preview;
    memory::DatabaseBlueprint blueprint = SampleDatabase();
    blueprint.relations[1].refused = {"Attributes"};
    Register(blueprint);
    EXPECT_EQ(Run(), RunOutcome::Failed);
    EXPECT_FALSE(host.previewShown);
    EXPECT_EQ(engine.closed, 1);
    EXPECT_THAT(OnlyMessage().text,
                HasSubstr("While writing relationship 'OrderLines': property 'Attributes'"));
}

struct FailurePlace {
    const char* name;
    void (*spoil)(memory::DatabaseBlueprint&);
    const char* where;
};

class FailurePlaceTest : public RunFixture, public ::testing::WithParamInterface<FailurePlace> {};

TEST_P(FailurePlaceTest, MessageNamesWhatWasBeingWritten) {
    memory::DatabaseBlueprint blueprint = SampleDatabase();
    GetParam().spoil(blueprint);
    Register(blueprint);
    EXPECT_EQ(Run(), RunOutcome::Failed);
    EXPECT_THAT(OnlyMessage().text,
                ::testing::StartsWith("The report could not be completed.\n\nWhile " +
                                      std::string(GetParam().where) + ": "));
}

INSTANTIATE_TEST_SUITE_P(
    Places, FailurePlaceTest,
    ::testing::Values(
        FailurePlace{"Database", [](memory::DatabaseBlueprint& s) { s.refused = {"Version"}; },
                     "writing the database properties"},
        FailurePlace{"TableList", [](memory::DatabaseBlueprint& s) { s.refused = {"TableDefs"}; },
                     "writing the table properties"},
        FailurePlace{"TableName",
                     [](memory::DatabaseBlueprint& s) { s.tables[1].refused = {"Name"}; },
                     "writing table number 2"},
        FailurePlace{"Table",
                     [](memory::DatabaseBlueprint& s) { s.tables[0].refused = {"RecordCount"}; },
                     "writing table 'Customers'"},
        FailurePlace{
            "Index",
            [](memory::DatabaseBlueprint& s) { s.tables[0].indexes[1].refused = {"Fields"}; },
            "writing table 'Customers', index 'ByNameJoined'"},
        FailurePlace{"Relationship",
                     [](memory::DatabaseBlueprint& s) { s.relations[0].refused = {"Table"}; },
                     "writing relationship 'CustomersOrders'"},
        FailurePlace{"Query", [](memory::DatabaseBlueprint& s) { s.queries[1].refused = {"SQL"}; },
                     "writing query 'Make Archive'"}),
    [](const auto& place) { return std::string(place.param.name); });

TEST_F(RunFixture, UnreadableSwitchEndsTheRunWithItsMessage) {
    switches.SetText("Index Unique", "maybe");
    EXPECT_EQ(Run(), RunOutcome::Failed);
    EXPECT_EQ(OnlyMessage().text,
              "The report could not be completed.\n\nWhile writing table 'Customers', index "
              "'PrimaryKey': the switch 'Index Unique' holds 'maybe', which is neither True nor "
              "False");
    EXPECT_THAT(folder.Entries(), ElementsAre("sample.mdb"));
}

TEST_F(RunFixture, FailedWriteEndsTheRunAndRemovesTheTemporaryFile) {
    folder.Write("report.csv", "old report");
    // A file size limit makes the write fail as a full disk would.
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    struct sigaction previousAction {};
    ::sigaction(SIGXFSZ, &ignore, &previousAction);
    rlimit previous{};
    ::getrlimit(RLIMIT_FSIZE, &previous);
    rlimit small = previous;
    small.rlim_cur = 512;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const RunOutcome outcome = Run();
    ::setrlimit(RLIMIT_FSIZE, &previous);
    ::sigaction(SIGXFSZ, &previousAction, nullptr);

    EXPECT_EQ(outcome, RunOutcome::OutputUnwritable);
    EXPECT_THAT(OnlyMessage().text,
                HasSubstr("While writing the CSV file '" + host.csvPath + "': File too large."));
    EXPECT_EQ(ReadFile(host.csvPath), "old report");
    EXPECT_THAT(folder.Entries(), ElementsAre("report.csv", "sample.mdb"));
    EXPECT_EQ(engine.closed, 1);
}

}  // namespace
}  // namespace ostrel::engine::testing
