// Compares the reader with mdbtools (mdb-tables, mdb-schema, mdb-count) on
// the real files: table names, column names, types, sizes and row counts.
// Skips when mdbtools or the files are absent.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <string_view>

#include "components/jet/jet_engine.h"
#include "components/schema/schema_error.h"
#include "tests/support/expected_facts.h"
#include "tests/support/real_files.h"
#include "tests/support/testdata_dir.h"

namespace ostrel::jet::test {
namespace {

struct PipeCloser {
    void operator()(FILE* f) const { pclose(f); }
};

std::string Quote(const std::string& s) {
    std::string out = "'";
    for (const char c : s) {
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return out + "'";
}

// Output of a shell command; its exit status in status.
std::string RunCommand(const std::string& command, int& status) {
    std::unique_ptr<FILE, PipeCloser> pipe(popen((command + " 2>/dev/null").c_str(), "r"));
    std::string out;
    if (!pipe) {
        status = -1;
        return out;
    }
    std::array<char, 4096> buffer{};
    std::size_t n = 0;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0) {
        out.append(buffer.data(), n);
    }
    status = pclose(pipe.release());
    return out;
}

bool MdbtoolsPresent() {
    int status = 0;
    RunCommand("command -v mdb-schema && command -v mdb-tables && command -v mdb-count", status);
    return status == 0;
}

struct MdbColumn {
    std::string type;
    int size = -1;
};

// Table -> column -> type and size, from mdb-schema's Access DDL.
std::map<std::string, std::map<std::string, MdbColumn>> ParseSchema(const std::string& ddl) {
    std::map<std::string, std::map<std::string, MdbColumn>> tables;
    const std::regex create(R"(^CREATE TABLE \[(.*)\]\s*$)");
    const std::regex column(
        R"(^\s+\[(.*)\]\s+([A-Za-z/_ 0-9]+?)(?: \((\d+)(?:, \d+)?\))?(?: NOT NULL)?,?\s*$)");
    std::istringstream in(ddl);
    std::string line;
    std::string current;
    std::smatch m;
    while (std::getline(in, line)) {
        if (std::regex_match(line, m, create)) {
            current = m[1];
            tables[current];
        } else if (!current.empty() && std::regex_match(line, m, column)) {
            MdbColumn c;
            c.type = m[2];
            if (m[3].matched)
                c.size = std::stoi(m[3]);
            tables[current][m[1]] = c;
        } else if (line.rfind(");", 0) == 0) {
            current.clear();
        }
    }
    return tables;
}

std::string MdbTypeName(int daoType) {
    switch (daoType) {
        case 1:
            return "Boolean";
        case 2:
            return "Byte";
        case 3:
            return "Integer";
        case 4:
            return "Long Integer";
        case 5:
            return "Currency";
        case 6:
            return "Single";
        case 7:
            return "Double";
        case 8:
            return "DateTime";
        case 9:
            return "Binary";
        case 10:
            return "Text";
        case 11:
            return "OLE";
        case 12:
            return "Memo/Hyperlink";
        case 15:
            return "Replication ID";
        case 16:
            return "Unknown_0013";
        case 20:
            return "Numeric";
        case 26:
            return "Unknown_0014";
        default:
            return daoType >= 101 && daoType <= 109 ? "Unknown_0012" : "";
    }
}

// The recorded facts of one table, or null.
const nlohmann::json* RecordedTable(const nlohmann::json& facts, const std::string& name) {
    const auto tables = facts.find("tables");
    if (tables == facts.end()) {
        return nullptr;
    }
    for (const auto& t : *tables) {
        if (t.value("name", "") == name) {
            return &t;
        }
    }
    return nullptr;
}

// Columns mdbtools sees only by their storage: calculated columns (typed by
// their result here) and complex ones (mdbtools' "Unknown_0012").
bool StoredDifferently(const nlohmann::json* table, const std::string& column, bool& complex) {
    complex = false;
    if (table == nullptr || !table->contains("columns")) {
        return false;
    }
    for (const auto& c : table->at("columns")) {
        if (c.value("name", "") == column) {
            complex = c.value("typeCode", 0) == 0x12;
            return c.value("calculated", false);
        }
    }
    return false;
}

class MdbtoolsDiff : public ::testing::TestWithParam<std::string> {};

// Marks the files of the encrypted folder among the test files.
constexpr char kEncryptedPrefix[] = "encrypted:";

TEST_P(MdbtoolsDiff, SameTablesColumnsAndCounts) {
    const auto testData = testsupport::TestDataDir();
    if (!testData)
        GTEST_SKIP() << "test data folder absent";
    if (!MdbtoolsPresent())
        GTEST_SKIP() << "mdbtools not installed";
    // The encrypted files beside the test data have no recorded facts.
    const bool encryptedFolder = GetParam().starts_with(kEncryptedPrefix);
    testsupport::ExpectedFacts recorded;
    if (encryptedFolder) {
        recorded.databasePath = testsupport::EncryptedTestDataDir(*testData) /
                                GetParam().substr(std::string_view(kEncryptedPrefix).size());
    } else {
        recorded = testsupport::LoadExpectedFacts(*testData, GetParam());
    }
    const std::string path = recorded.databasePath.string();
    JetEngine engine;
    const auto password = testsupport::KnownPassword(path);
    if (password) {
        engine.SetPasswordProvider(
            [&](const std::string&) { return std::optional<schema::Password>(*password); });
    }
    const std::unique_ptr<schema::Database> db = engine.OpenDatabase(path);
    if (password) {
        GTEST_SKIP() << "mdbtools cannot read files with a database password";
    }
    int status = 0;
    const std::string listed = RunCommand("mdb-tables -1 " + Quote(path), status);
    ASSERT_EQ(status, 0);
    std::set<std::string> mdbTables;
    std::istringstream names(listed);
    for (std::string name; std::getline(names, name);) {
        if (!name.empty())
            mdbTables.insert(name);
    }
    std::map<std::string, const schema::TableDef*> ours;
    for (int i = 0; i < db->TableDefs().Count(); ++i) {
        const auto& t = db->TableDefs().Item(i);
        ours[t.Name()] = &t;
    }
    for (const std::string& name : mdbTables) {
        EXPECT_TRUE(ours.count(name) == 1) << "mdbtools lists '" << name << "'";
    }
    const auto ddl = ParseSchema(
        RunCommand("mdb-schema --no-indexes --no-relations " + Quote(path) + " access", status));
    const nlohmann::json& expected = recorded.facts;
    for (const auto& [name, columns] : ddl) {
        SCOPED_TRACE("table " + name);
        const auto it = ours.find(name);
        ASSERT_NE(it, ours.end());
        const schema::TableDef& table = *it->second;
        if ((table.Attributes() & schema::table_attribute::kAttachedTable) != 0)
            continue;
        const auto& fields = table.Fields();
        std::map<std::string, const schema::Field*> byName;
        for (int i = 0; i < fields.Count(); ++i)
            byName[fields.Item(i).Name()] = &fields.Item(i);
        EXPECT_EQ(byName.size(), columns.size());
        const nlohmann::json* recordedTable = RecordedTable(expected, name);
        for (const auto& [columnName, column] : columns) {
            SCOPED_TRACE("column " + columnName);
            const auto f = byName.find(columnName);
            ASSERT_NE(f, byName.end());
            bool complex = false;
            if (StoredDifferently(recordedTable, columnName, complex)) {
                continue;
            }
            const std::string type = complex ? "Unknown_0012" : MdbTypeName(f->second->Type());
            if (!type.empty()) {
                EXPECT_EQ(column.type, type);
            }
            if (column.type == "Text") {
                EXPECT_EQ(column.size, f->second->Size());
            }
        }
        if (mdbTables.count(name) == 0)
            continue;
        const std::string counted =
            RunCommand("mdb-count " + Quote(path) + " " + Quote(name), status);
        if (status != 0 || counted.empty())
            continue;
        const long rows = std::stol(counted);
        if (rows != table.RecordCount()) {
            // The stored count can be stale; the recorded facts say when.
            const bool stale = recordedTable != nullptr &&
                               recordedTable->value("rowCount", -1) == table.RecordCount() &&
                               recordedTable->value("scannedRowCount", -1L) == rows;
            EXPECT_TRUE(stale) << "mdb-count " << rows << ", stored count " << table.RecordCount();
        }
    }
}

std::vector<std::string> FilesOrPlaceholder() {
    auto files = testsupport::ListDatabases(OSTREL_TESTDATA_DIR);
    for (const std::string& encrypted :
         testsupport::ListDatabases(testsupport::EncryptedTestDataDir(OSTREL_TESTDATA_DIR))) {
        files.push_back(kEncryptedPrefix + encrypted);
    }
    if (files.empty())
        files.emplace_back("absent");
    return files;
}

INSTANTIATE_TEST_SUITE_P(RealFiles, MdbtoolsDiff, ::testing::ValuesIn(FilesOrPlaceholder()),
                         [](const auto& p) { return testsupport::TestNameOf(p.param); });

}  // namespace
}  // namespace ostrel::jet::test
