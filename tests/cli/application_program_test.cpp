// Forms, reports, macros and modules as the batch program documents them,
// on real Access files.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

#include "tests/cli/program_runner.h"
#include "tests/support/testdata_dir.h"

namespace ostrel::cli {
namespace {

namespace fs = std::filesystem;
using test::ProgramResult;
using test::Quoted;
using test::RunProgram;

const std::string kSample = OSTREL_SOURCE_DIR "/samples/sample-business.mdb";

std::optional<fs::path> Objects() {
    const auto dir = testsupport::TestDataDir();
    if (!dir || !fs::exists(*dir / "objects" / "nwind.mdb")) {
        return std::nullopt;
    }
    return *dir / "objects";
}

std::string Command(const std::string& command) {
    std::string out;
    const std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) {
        return out;
    }
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe.get())) > 0;) {
        out.append(buffer, n);
    }
    return out;
}

// The modules expected-modules.tsv lists for a file's store.
std::set<std::string> ExpectedModules(const fs::path& objects, const std::string& file,
                                      const std::string& store) {
    std::ifstream in(objects / "expected-modules.tsv");
    std::set<std::string> names;
    for (std::string line; std::getline(in, line);) {
        std::istringstream cells(line);
        std::string f;
        std::string s;
        std::string name;
        std::getline(cells, f, '\t');
        std::getline(cells, s, '\t');
        std::getline(cells, name, '\t');
        if (f == file && s == store) {
            names.insert(name);
        }
    }
    return names;
}

TEST(ApplicationProgram, NamingAnyObjectLimitsEveryKind) {
    const auto objects = Objects();
    if (!objects) {
        GTEST_SKIP() << "no test data";
    }
    const std::string ageRange = (*objects / "AgeRange.mdb").string();
    ProgramResult result = RunProgram({"--module", "basAgeFunction", ageRange});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("Module : basAgeFunction"), std::string::npos);
    EXPECT_EQ(result.out.find("Table : "), std::string::npos);
    EXPECT_EQ(result.out.find("Module : Form_frmStartUp"), std::string::npos);
    // The database holds forms, so their section is there, with none chosen.
    EXPECT_NE(result.out.find("5 - Form Properties\r\n\r\nNone requested"), std::string::npos);

    result = RunProgram({"--form", "frmStartUp", "--report-object", "rptEmployeeAge", "--module",
                         "Form_frmStartUp", "--module", "basAgeFunction", ageRange});
    ASSERT_EQ(result.status, 0) << result.err;
    for (const char* heading : {"Form : frmStartUp", "Report : rptEmployeeAge",
                                "Module : Form_frmStartUp", "Module : basAgeFunction"}) {
        EXPECT_NE(result.out.find(heading), std::string::npos) << heading;
    }

    result = RunProgram({"--macro", "NoSuchMacro", ageRange});
    EXPECT_NE(result.status, 0);
    EXPECT_NE(result.err.find("the database holds no macro named 'NoSuchMacro'"), std::string::npos)
        << result.err;
}

TEST(ApplicationProgram, JsonHoldsTheKindsPresentAndEachModulesWholeSource) {
    const auto objects = Objects();
    if (!objects) {
        GTEST_SKIP() << "no test data";
    }
    ProgramResult result = RunProgram({"--json", "-", (*objects / "AgeRange.mdb").string()});
    ASSERT_EQ(result.status, 0) << result.err;
    const nlohmann::json report = nlohmann::json::parse(result.out);
    EXPECT_TRUE(report.contains("forms"));
    EXPECT_TRUE(report.contains("reports"));
    EXPECT_FALSE(report.contains("macros"));
    const nlohmann::json& module = report.at("modules").at("basAgeFunction");
    EXPECT_EQ(module.at("properties").at("LineCount"), 34);
    EXPECT_EQ(module.at("properties").at("Type"), "Standard");
    const std::string source = module.at("source");
    EXPECT_EQ(source.rfind("Attribute VB_Name = \"basAgeFunction\"\r\n", 0), 0U) << source;
    EXPECT_EQ(report.at("forms").at("frmStartUp").at("properties").at("HasModule"), true);

    result = RunProgram({"--json", "-", kSample});
    ASSERT_EQ(result.status, 0) << result.err;
    const nlohmann::json plain = nlohmann::json::parse(result.out);
    for (const char* key : {"forms", "reports", "macros", "modules"}) {
        EXPECT_FALSE(plain.contains(key)) << key;
    }
}

TEST(ApplicationProgram, PdfOfNwindShowsEveryModulesNumberedCodeInTheOutline) {
    const auto objects = Objects();
    if (!objects || Command("qpdf --version 2>/dev/null").empty() ||
        Command("pdftotext -v 2>&1").empty()) {
        GTEST_SKIP() << "no test data, qpdf or pdftotext";
    }
    const fs::path pdf =
        fs::temp_directory_path() / ("ostrel-nwind-" + std::to_string(getpid()) + ".pdf");
    const ProgramResult result =
        RunProgram({"--pdf", pdf.string(), (*objects / "nwind.mdb").string()});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string outline =
        Command("qpdf --json=2 --json-key=outlines " + Quoted(pdf.string()));
    const std::string text = Command("pdftotext -layout " + Quoted(pdf.string()) + " -");
    fs::remove(pdf);
    // The file's own store (Access 97) is documented, each module once.
    const std::set<std::string> modules = ExpectedModules(*objects, "nwind.mdb", "MSysModules2");
    ASSERT_EQ(modules.size(), 15U);
    std::set<std::string> listed;
    const nlohmann::json parsed = nlohmann::json::parse(outline);
    for (const nlohmann::json& section : parsed.at("outlines")) {
        if (section.at("title") != "8 - Module Properties") {
            continue;
        }
        for (const nlohmann::json& item : section.at("kids")) {
            listed.insert(
                item.at("title").get<std::string>().substr(std::string("Module : ").size()));
        }
    }
    EXPECT_EQ(listed, modules);
    // Numbered code lines, as the editor shows them: no hidden header.
    EXPECT_NE(text.find("  1 Option Compare Database"), std::string::npos);
    EXPECT_EQ(text.find("Attribute VB_Name"), std::string::npos);
}

}  // namespace
}  // namespace ostrel::cli
