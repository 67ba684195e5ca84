// Times one full CSV report over a large in-memory database with every switch
// on. Run it under /usr/bin/time -v to see the peak memory as well.
//
//   engine_bench [output folder]   (default: the system's temporary folder)

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "components/memory/memory_database.h"
#include "engine/run.h"
#include "engine/switch_table.h"

namespace {

using namespace ostrel;
using namespace ostrel::schema::data_type;

constexpr int kTables = 2000;
constexpr int kFieldsPerTable = 40;
constexpr int kIndexesPerTable = 4;
constexpr int kRelations = 1000;
constexpr int kQueries = 1000;

memory::DatabaseBlueprint LargeDatabase() {
    memory::DatabaseBlueprint db;
    db.tables.reserve(kTables);
    for (int t = 0; t < kTables; ++t) {
        memory::TableBlueprint table{
            .name = "Table" + std::to_string(t),
            .dateCreated = schema::DateTime{2024, 1 + t % 12, 1 + t % 28, 10, t % 60, 0},
            .lastUpdated = schema::DateTime{2025, 6, 1, 0, 0, 0},
            .recordCount = t * 17,
            .validationRule = t % 3 == 0 ? "[Amount] >= 0" : "",
            .validationText = t % 3 == 0 ? "Amounts are never negative" : ""};
        table.fields.reserve(kFieldsPerTable);
        for (int f = 0; f < kFieldsPerTable; ++f) {
            const auto type = static_cast<std::int16_t>(1 + f % 12);
            table.fields.push_back({.name = "Column" + std::to_string(f),
                                    .type = type,
                                    .size = type == kText ? 50 : 4,
                                    .attributes = f == 0 ? 0x11U : 0x22U,
                                    .allowZeroLength = type == kText,
                                    .dataUpdatable = true,
                                    .required = f < 2,
                                    .defaultValue = f % 5 == 0
                                                        ? schema::Variant(std::int64_t{0})
                                                        : schema::Variant(schema::NullValue{}),
                                    .ordinalPosition = static_cast<std::int16_t>(f)});
        }
        for (int i = 0; i < kIndexesPerTable; ++i) {
            table.indexes.push_back(
                {.name = i == 0 ? "PrimaryKey" : "Index" + std::to_string(i),
                 .primary = i == 0,
                 .required = i == 0,
                 .unique = i == 0,
                 .distinctCount = t * 17,
                 .fields = "+Column" + std::to_string(i) + ";-Column" + std::to_string(i + 1)});
        }
        db.tables.push_back(std::move(table));
    }
    for (int r = 0; r < kRelations; ++r) {
        db.relations.push_back({.name = "Relation" + std::to_string(r),
                                .table = "Table" + std::to_string(r),
                                .foreignTable = "Table" + std::to_string(r + 1),
                                .attributes = 0x1100U,
                                .fields = {{"Column0", "Column1"}, {"Column2", "Column3"}}});
    }
    for (int q = 0; q < kQueries; ++q) {
        db.queries.push_back(
            {.name = "Query" + std::to_string(q),
             .sql = "PARAMETERS [Start] DateTime, [Region] Text ( 255 );\r\nSELECT Column0, "
                    "Column1, Column2\r\nFROM Table" +
                    std::to_string(q) +
                    "\r\nWHERE Column3 >= [Start] AND Column4 = [Region]\r\nORDER BY Column0;",
             .dateCreated = schema::DateTime{2024, 2, 3, 4, 5, 6},
             .lastUpdated = schema::DateTime{2024, 2, 3, 4, 5, 7},
             .parameters = {{.name = "Start", .direction = 1, .type = kDate},
                            {.name = "Region", .direction = 1, .type = kText}}});
    }
    return db;
}

// Switches answered from memory, as the settings store's cache answers them:
// a hash map keyed without regard to letter case.
// Keys are ASCII; folding them without the C library's locale-aware tolower
// keeps a lookup to a few nanoseconds.
constexpr char FoldCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

class CachedSwitches final : public engine::ReportSwitches {
  public:
    CachedSwitches() {
        for (const engine::SwitchInfo& info : engine::SwitchTable()) {
            values_.emplace(std::string(info.key), true);
        }
    }
    bool GetReportSwitch(std::string_view key) const override {
        const auto found = values_.find(key);
        return found == values_.end() || found->second;
    }

  private:
    struct Hash {
        using is_transparent = void;
        // The 61 keys differ in length and in a few letters; sampling those
        // spreads them well without walking every character.
        std::size_t operator()(std::string_view text) const noexcept {
            const std::size_t n = text.size();
            if (n == 0) {
                return 0;
            }
            const auto at = [&](std::size_t i) {
                return static_cast<std::size_t>(static_cast<unsigned char>(FoldCase(text[i])));
            };
            return n * 0x9E3779B1U ^ at(n - 1) * 0x85EBCA77U ^ at(n - 2) * 0xC2B2AE3DU ^
                   at(n / 2) * 0x27D4EB2FU ^ at(0) * 0x165667B1U ^ at(n * 3 / 4) * 0xD3A2646CU;
        }
    };
    struct Equal {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const noexcept {
            if (a.size() != b.size()) {
                return false;
            }
            if (a == b) {
                return true;  // the sections ask with the table's own spelling
            }
            return std::equal(a.begin(), a.end(), b.begin(),
                              [](char x, char y) { return FoldCase(x) == FoldCase(y); });
        }
    };
    std::unordered_map<std::string, bool, Hash, Equal> values_;
};

// Hands out a database that was opened before the clock started, so that the
// figure is the report's own work and not the copying of the in-memory model.
class PreopenedEngine final : public schema::SchemaEngine {
  public:
    explicit PreopenedEngine(std::unique_ptr<schema::Database> database)
        : database_(std::move(database)) {}
    std::unique_ptr<schema::Database> OpenDatabase(const std::string& /*path*/) override {
        return std::make_unique<Borrowed>(*database_);
    }

  private:
    class Borrowed final : public schema::Database {
      public:
        explicit Borrowed(const schema::Database& inner) : inner_(inner) {}
        std::int32_t CollatingOrder() const override { return inner_.CollatingOrder(); }
        std::string ReplicaID() const override { return inner_.ReplicaID(); }
        std::string Version() const override { return inner_.Version(); }
        bool Transactions() const override { return inner_.Transactions(); }
        bool Updatable() const override { return inner_.Updatable(); }
        const schema::Collection<schema::TableDef>& TableDefs() const override {
            return inner_.TableDefs();
        }
        const schema::Collection<schema::QueryDef>& QueryDefs() const override {
            return inner_.QueryDefs();
        }
        const schema::Collection<schema::Relation>& Relations() const override {
            return inner_.Relations();
        }
        void Close() override {}

      private:
        const schema::Database& inner_;
    };
    std::unique_ptr<schema::Database> database_;
};

class BenchHost final : public engine::RunStatus,
                        public engine::RunMessages,
                        public engine::Selection {
  public:
    explicit BenchHost(const memory::DatabaseBlueprint& blueprint) {
        for (const auto& table : blueprint.tables) {
            tables_.insert(table.name);
        }
        for (const auto& query : blueprint.queries) {
            queries_.insert(query.name);
        }
    }
    void SetStatusText(int /*panel*/, const std::string& /*text*/) override {}
    void RepaintStatus() override { ++repaints; }
    void ShowMessage(const std::string& text, engine::MessageIcon /*icon*/,
                     const std::string& /*caption*/) override {
        std::fprintf(stderr, "message: %s\n", text.c_str());
    }
    bool IsSelected(engine::ObjectKind kind, const std::string& name) const override {
        switch (kind) {
            case engine::ObjectKind::Table:
                return tables_.contains(name);
            case engine::ObjectKind::Query:
                return queries_.contains(name);
            default:
                break;
        }
        return true;
    }

    long repaints = 0;

  private:
    std::unordered_set<std::string> tables_;
    std::unordered_set<std::string> queries_;
};

// User and system time of this process so far.
double CpuMilliseconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto millis = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_usec) / 1000.0;
    };
    return millis(usage.ru_utime) + millis(usage.ru_stime);
}

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path folder =
        argc > 1 ? std::filesystem::path(argv[1])
                 : std::filesystem::temp_directory_path() /
                       ("ostrel-engine-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string databasePath = (folder / "large.mdb").string();
    const std::string csvPath = (folder / "large.csv").string();
    std::ofstream(databasePath) << "stand-in: the engine below is in memory";

    const auto buildStart = std::chrono::steady_clock::now();
    memory::DatabaseBlueprint blueprint = LargeDatabase();
    BenchHost host(blueprint);
    engine::RunRequest request;
    request.databasePath = databasePath;
    request.target = engine::ReportTarget::CsvFile;
    request.outputPath = csvPath;
    engine::RunPorts ports{host, host, host};
    PreopenedEngine engine(memory::OpenMemoryDatabase(std::move(blueprint)));
    const auto buildEnd = std::chrono::steady_clock::now();

    const CachedSwitches switches;
    const auto formatter = engine::MakeLocaleFormatter();
    engine::Run run(engine, switches, *formatter);

    const double cpuBefore = CpuMilliseconds();
    const auto start = std::chrono::steady_clock::now();
    const engine::RunOutcome outcome = run.Report(request, ports);
    const auto end = std::chrono::steady_clock::now();
    const double cpu = CpuMilliseconds() - cpuBefore;

    const auto ms = [](auto duration) {
        return std::chrono::duration<double, std::milli>(duration).count();
    };
    const auto bytes = std::filesystem::exists(csvPath) ? std::filesystem::file_size(csvPath) : 0;
    std::printf("database built in %.1f ms (not part of the run)\n", ms(buildEnd - buildStart));
    std::printf("report run: %.1f ms wall, %.1f ms CPU, %s, %llu bytes of CSV, %ld repaints\n",
                ms(end - start), cpu,
                outcome == engine::RunOutcome::Finished ? "finished" : "FAILED",
                static_cast<unsigned long long>(bytes), host.repaints);
    if (argc <= 1) {
        std::filesystem::remove_all(folder);
    }
    return outcome == engine::RunOutcome::Finished ? 0 : 1;
}
