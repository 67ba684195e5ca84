// Prints every member of every object of the databases named on the command
// line (folders are walked for .mdb and .accdb files), the way a report reads
// them, and the time it took. Used by run_bench.sh against mdbtools.

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <variant>
#include <vector>

#include "components/jet/jet_engine.h"
#include "components/schema/schema_error.h"

namespace {

using ostrel::schema::SchemaError;
using ostrel::schema::Variant;

std::string Text(const Variant& v) {
    if (const auto* s = std::get_if<std::string>(&v))
        return *s;
    if (const auto* i = std::get_if<std::int64_t>(&v))
        return std::to_string(*i);
    if (const auto* d = std::get_if<ostrel::schema::DateTime>(&v)) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", d->year, d->month,
                      d->day, d->hour, d->minute, d->second);
        return buffer;
    }
    return "";
}

template <class Read>
void Guard(Read read) {
    try {
        read();
    } catch (const SchemaError& e) {
        std::printf("  (%s)\n", e.what());
    }
}

void Walk(const std::string& path) {
    ostrel::jet::JetEngine engine;
    const auto db = engine.OpenDatabase(path);
    std::printf("%s version %s order %d replica '%s'\n", path.c_str(), db->Version().c_str(),
                db->CollatingOrder(), db->ReplicaID().c_str());
    const auto& tables = db->TableDefs();
    for (int i = 0; i < tables.Count(); ++i) {
        const auto& t = tables.Item(i);
        std::printf(
            "table %s attributes %u created %s updated %s records %d source '%s' rule '%s'\n",
            t.Name().c_str(), t.Attributes(), Text(t.DateCreated()).c_str(),
            Text(t.LastUpdated()).c_str(), t.RecordCount(), t.SourceTableName().c_str(),
            t.ValidationRule().c_str());
        Guard([&] {
            for (int j = 0; j < t.Fields().Count(); ++j) {
                const auto& f = t.Fields().Item(j);
                std::printf(
                    "  field %s type %d size %d attributes %u required %d zero %d default '%s'\n",
                    f.Name().c_str(), f.Type(), f.Size(), f.Attributes(), f.Required(),
                    f.AllowZeroLength(), Text(f.DefaultValue()).c_str());
            }
            for (int j = 0; j < t.Indexes().Count(); ++j) {
                const auto& x = t.Indexes().Item(j);
                std::printf("  index %s fields %s primary %d unique %d distinct %d\n",
                            x.Name().c_str(), Text(x.Fields()).c_str(), x.Primary(), x.Unique(),
                            x.DistinctCount());
            }
        });
    }
    for (int i = 0; i < db->Relations().Count(); ++i) {
        const auto& r = db->Relations().Item(i);
        std::printf("relation %s %s -> %s attributes %u fields %d\n", r.Name().c_str(),
                    r.Table().c_str(), r.ForeignTable().c_str(), r.Attributes(),
                    r.Fields().Count());
    }
    for (int i = 0; i < db->QueryDefs().Count(); ++i) {
        const auto& q = db->QueryDefs().Item(i);
        std::printf("query %s type %d\n", q.Name().c_str(), q.Type());
        Guard([&] { std::printf("  %s\n", q.SQL().c_str()); });
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        std::error_code ec;
        if (std::filesystem::is_directory(argv[i], ec)) {
            for (const auto& e : std::filesystem::recursive_directory_iterator(argv[i], ec)) {
                const auto ext = e.path().extension();
                if (e.is_regular_file() && (ext == ".mdb" || ext == ".accdb")) {
                    files.push_back(e.path().string());
                }
            }
        } else {
            files.emplace_back(argv[i]);
        }
    }
    const auto start = std::chrono::steady_clock::now();
    int failed = 0;
    for (const std::string& f : files) {
        try {
            Walk(f);
        } catch (const SchemaError& e) {
            std::printf("%s\n", e.what());
            ++failed;
        }
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::fprintf(stderr, "walked %zu files (%d not readable) in %.3f s\n", files.size(), failed,
                 took.count());
    return 0;
}
