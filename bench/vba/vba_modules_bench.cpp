// Reads every module of a generated database whose VBA project holds about
// 5 MB of source in 50 large modules, and of the real object files when the
// test data folder is given, and prints how long it took.
//   vba_modules_bench [TESTDATA]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "components/jet/jet_engine.h"
#include "tools/jetgen/description.h"
#include "tools/jetgen/generator.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kModules = 50;
constexpr std::size_t kModuleSize = 100 * 1024;

// Code that reads like a real module: procedures of declarations,
// assignments, conditions and calls with names and numbers that vary.
std::string ModuleCode(std::mt19937& random, int module) {
    static const char* const kTypes[] = {"Long", "String", "Double", "Variant", "Boolean"};
    static const char* const kWords[] = {"Customer", "Order",  "Total", "Count", "Name",
                                         "Index",    "Amount", "Item",  "Row",   "Field"};
    auto word = [&] { return std::string(kWords[random() % 10]) + std::to_string(random() % 50); };
    std::string code = "Option Compare Database\r\nOption Explicit\r\n\r\n";
    for (int proc = 0; code.size() < kModuleSize; ++proc) {
        code += "Public Function Calc" + std::to_string(module) + "_" + std::to_string(proc) +
                "(ByVal " + word() + " As " + kTypes[random() % 5] + ") As Long\r\n";
        for (int line = 0; line < 12; ++line) {
            switch (random() % 4) {
                case 0:
                    code += "    Dim " + word() + " As " + kTypes[random() % 5] + "\r\n";
                    break;
                case 1:
                    code += "    " + word() + " = " + word() + " + " +
                            std::to_string(random() % 1000) + "\r\n";
                    break;
                case 2:
                    code += "    If " + word() + " > " + std::to_string(random() % 100) +
                            " Then DoCmd.OpenForm \"frm" + word() + "\"\r\n";
                    break;
                default:
                    code += "    ' " + word() + " is checked against " + word() + "\r\n";
            }
        }
        code += "End Function\r\n\r\n";
    }
    return code;
}

struct Figures {
    double openMs = 0;
    double readMs = 0;
    std::size_t modules = 0;
    std::size_t bytes = 0;
};

Figures ReadAll(const fs::path& path) {
    Figures f;
    const auto start = Clock::now();
    const auto db = ostrel::jet::JetEngine().OpenDatabase(path.string());
    const auto opened = Clock::now();
    const auto& modules = db->Modules();
    for (int i = 0; i < modules.Count(); ++i) {
        f.bytes += modules.Item(i).Source().size();
        (void)modules.Item(i).LineCount();
    }
    f.modules = static_cast<std::size_t>(modules.Count());
    const auto read = Clock::now();
    f.openMs = std::chrono::duration<double, std::milli>(opened - start).count();
    f.readMs = std::chrono::duration<double, std::milli>(read - opened).count();
    return f;
}

void Report(const std::string& name, const fs::path& path) {
    std::vector<double> reads;
    Figures f;
    for (int run = 0; run < 7; ++run) {
        f = ReadAll(path);
        reads.push_back(f.readMs);
    }
    std::sort(reads.begin(), reads.end());
    std::printf(
        "%-28s %3zu modules %9zu bytes  open %6.1f ms  read every module %6.1f ms "
        "(best %.1f, worst %.1f)\n",
        name.c_str(), f.modules, f.bytes, f.openMs, reads[reads.size() / 2], reads.front(),
        reads.back());
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path dir = fs::temp_directory_path() / "ostrel-vba-bench";
    fs::create_directories(dir);
    const fs::path large = dir / "large-project.mdb";
    ostrel::jetgen::DatabaseDescription description;
    std::mt19937 random(11);
    for (int m = 0; m < kModules; ++m) {
        description.modules.push_back({"Module" + std::to_string(m),
                                       ostrel::jetgen::ModuleType::Standard,
                                       ModuleCode(random, m)});
    }
    const auto written = ostrel::jetgen::WriteDatabase(description, large);
    std::printf("generated %s: %u pages\n", large.string().c_str(), written.pages);
    Report("generated (5 MB of source)", large);
    if (argc > 1) {
        for (const char* file : {"Calendar.accdb", "AgeRange.mdb", "contacts.mdb", "nwind.mdb"}) {
            Report(file, fs::path(argv[1]) / "objects" / file);
        }
    }
    fs::remove_all(dir);
    return 0;
}
