// Forms, reports, macros and modules in the report, the comparison's diff of
// a module's code, and the export of modules to files.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "components/memory/memory_database.h"
#include "engine/code_export.h"
#include "engine/comparison.h"
#include "engine/comparison_form.h"
#include "engine/json_form.h"
#include "engine_test_support.h"
#include "temp_folder.h"

namespace ostrel::engine::testing {
namespace {

namespace fs = std::filesystem;
using memory::AccessObjectBlueprint;
using memory::DatabaseBlueprint;
using memory::ModuleBlueprint;
using schema::VbaModuleKind;

const std::string kUtilities =
    "Attribute VB_Name = \"Utilities\"\r\nOption Compare Database\r\nOption Explicit\r\n"
    "\r\nPublic Function Twice(x As Long) As Long\r\n    Twice = 2 * x\r\nEnd Function\r\n";

DatabaseBlueprint Plain() {
    DatabaseBlueprint blueprint;
    blueprint.tables.push_back({.name = "Orders"});
    return blueprint;
}

DatabaseBlueprint WithApplication() {
    DatabaseBlueprint blueprint = Plain();
    blueprint.forms.push_back({.name = "Orders", .hasModule = true});
    blueprint.forms.push_back({.name = "~sq_cOrders"});
    blueprint.macros.push_back({.name = "AutoExec"});  // binary: no XML
    blueprint.macros.push_back({.name = "Close",
                                .macroXml = "<UserInterfaceMacros><UserInterfaceMacro><Statements>"
                                            "<Action Name=\"CloseWindow\"/></Statements>"
                                            "</UserInterfaceMacro></UserInterfaceMacros>"});
    blueprint.modules.push_back({.name = "Broken", .problem = "its stream ends early"});
    blueprint.modules.push_back({.name = "Utilities", .source = kUtilities});
    blueprint.modules.push_back(
        {.name = "Form_Orders", .kind = VbaModuleKind::Document, .source = "Option Explicit\r\n"});
    return blueprint;
}

// Writes every part of the report of the database, as the run walks them.
void WriteAllParts(SectionHarness& harness, const DatabaseBlueprint& blueprint) {
    const auto database = memory::OpenMemoryDatabase(blueprint);
    for (const ReportPart part :
         {ReportPart::Database, ReportPart::Tables, ReportPart::Relationships, ReportPart::Queries,
          ReportPart::Forms, ReportPart::Reports, ReportPart::Macros, ReportPart::Modules}) {
        harness.Write(part, *database);
    }
}

std::string CsvOfAllParts(const DatabaseBlueprint& blueprint) {
    SectionHarness harness(ReportTarget::CsvFile);
    WriteAllParts(harness, blueprint);
    return harness.Csv();
}

TEST(ApplicationObjects, SectionsOnlyForKindsHeldAndTemporaryObjectsLeftOut) {
    const std::string plain = CsvOfAllParts(Plain());
    EXPECT_EQ(plain.find("5 - "), std::string::npos);
    // Access's temporary objects alone make no section.
    DatabaseBlueprint temporary = Plain();
    temporary.macros.push_back({.name = "~TMPCLPMacro"});
    temporary.forms.push_back({.name = "~sq_fOrders"});
    EXPECT_EQ(CsvOfAllParts(temporary), plain);

    SectionHarness harness(ReportTarget::CsvFile);
    WriteAllParts(harness, WithApplication());
    const std::string& csv = harness.Csv();
    const auto at = [&csv](const std::string& text) { return csv.find(text); };
    ASSERT_NE(at("5 - Form Properties"), std::string::npos);
    EXPECT_EQ(at("6 - Report Properties"), std::string::npos);
    EXPECT_LT(at("5 - Form Properties"), at("7 - Macro Properties"));
    EXPECT_LT(at("7 - Macro Properties"), at("8 - Module Properties"));
    EXPECT_EQ(at("~sq_cOrders"), std::string::npos);
    EXPECT_NE(at("Form : Orders\r\n\r\n,DateCreated,\r\n,HasModule,True\r\n"), std::string::npos);
    // The binary macro has its note, the XML one its XML laid out.
    EXPECT_NE(at(",Note,its actions are kept in a binary form that cannot be read"),
              std::string::npos);
    EXPECT_NE(at(",3,\"    <Statements>\"\r\n,4,\"      <Action Name=\"\"CloseWindow\"\"/>\"\r\n"),
              std::string::npos);
    // The code as the editor shows it: no hidden header, numbered from 1.
    EXPECT_NE(at(",LineCount,6\r\n,Type,Standard\r\n"), std::string::npos);
    EXPECT_NE(at(",1,\"Option Compare Database\"\r\n,2,\"Option Explicit\"\r\n,3,\"\"\r\n"),
              std::string::npos);
    EXPECT_EQ(at("VB_Name"), std::string::npos);
    // A module that cannot be read is said on it, and warned of; the report
    // goes on to the modules after it.
    EXPECT_NE(at("Module : Broken\r\n\r\n"), std::string::npos);
    EXPECT_NE(at(",Note,cannot be read: its stream ends early"), std::string::npos);
    EXPECT_LT(at("Module : Broken"), at("Module : Utilities"));
}

TEST(ApplicationObjects, ChangedModuleShowsTheLineAsAUnifiedDiff) {
    std::string lines;
    for (int i = 1; i <= 12; ++i) {
        lines += "Line" + std::to_string(i) + "\r\n";
    }
    std::string changed = lines;
    changed.replace(changed.find("Line6\r\n"), 5, "Line6 changed");
    DatabaseBlueprint oldBlueprint = Plain();
    oldBlueprint.modules.push_back({.name = "Code", .source = lines});
    oldBlueprint.modules.push_back({.name = "Same", .source = lines});
    DatabaseBlueprint newBlueprint = oldBlueprint;
    newBlueprint.modules[0].source = changed;
    const auto oldDatabase = memory::OpenMemoryDatabase(oldBlueprint);
    const auto newDatabase = memory::OpenMemoryDatabase(newBlueprint);
    MapSwitches switches;
    const Comparison comparison = CompareDatabases(*oldDatabase, *newDatabase, switches, {}, {});
    ASSERT_EQ(comparison.modules.size(), 1U);
    EXPECT_EQ(comparison.modules[0].name, "Code");
    EXPECT_EQ(comparison.modules[0].change, Change::Changed);
    const std::vector<std::string> expected{"@@ -3,7 +3,7 @@", " Line3", " Line4",
                                            " Line5",          "-Line6", "+Line6 changed",
                                            " Line7",          " Line8", " Line9"};
    EXPECT_EQ(comparison.modules[0].textDiff, expected);

    // Every form of the comparison carries it.
    SectionHarness csv(ReportTarget::CsvFile);
    WriteComparison(comparison, csv.Writer(), csv.formatter);
    EXPECT_NE(csv.Csv().find("8 - Module Properties"), std::string::npos);
    EXPECT_NE(csv.Csv().find(",,\"-Line6\"\r\n,,\"+Line6 changed\"\r\n"), std::string::npos);
    const std::string json = ComparisonJsonText(comparison, {}, "a", "b", {});
    EXPECT_NE(
        json.find(
            R"("modules":{"added":[],"removed":[],"changed":{"Code":{"properties":{},"diff":["@@ -3,7 +3,7 @@")"),
        std::string::npos);
    // Kinds with nothing to say are left out, as in the report.
    EXPECT_EQ(json.find("\"forms\""), std::string::npos);
}

std::map<std::string, std::string> Contents(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        files[fs::relative(entry.path(), folder).string()] = ReadFile(entry.path().string());
    }
    return files;
}

TEST(CodeExport, ReexportGivesTheSameBytesAndHostileNamesStayInside) {
    DatabaseBlueprint blueprint = Plain();
    blueprint.modules.push_back({.name = "Utilities", .source = kUtilities});
    blueprint.modules.push_back({.name = "UTILITIES", .source = "Sub B()\nEnd Sub"});
    blueprint.modules.push_back({.name = "../../escape", .source = "' out\n"});
    blueprint.modules.push_back({.name = "a/b\\c", .source = "' slash\n"});
    blueprint.modules.push_back({.name = "..", .source = "' dots\n"});
    blueprint.modules.push_back({.name = "", .source = "' nameless\n"});
    blueprint.modules.push_back({.name = "Caf\xC3\xA9", .source = "' Caf\xC3\xA9\n"});
    blueprint.modules.push_back(
        {.name = "Form_Orders",
         .kind = VbaModuleKind::Document,
         .source = "Attribute VB_Name = \"Form_Orders\"\nOption Explicit\n"});
    const auto database = memory::OpenMemoryDatabase(blueprint);
    const TempFolder outer;
    const fs::path folder = outer.Path() / "code";
    CodeExportOptions options;
    options.encode = [](std::string_view text, int codePage) {
        return std::to_string(codePage) + ":" + std::string(text);
    };
    const CodeExportResult first = ExportCode(*database, folder, options);
    EXPECT_EQ(first.written.size(), 8U);
    const auto files = Contents(folder);
    // Nothing outside the folder, nothing in a subfolder of it.
    EXPECT_EQ(outer.Entries(), std::vector<std::string>{"code"});
    for (const auto& [name, bytes] : files) {
        EXPECT_EQ(name.find('/'), std::string::npos) << name;
        EXPECT_TRUE(name.front() != '.' || name == kCodeManifest) << name;
    }
    // Names that differ only in case are numbered in the order of the names.
    ASSERT_EQ(files.count("Utilities~2.bas"), 1U);
    EXPECT_EQ(files.at("Utilities~2.bas"), "1252:" + kUtilities);
    EXPECT_EQ(files.at("UTILITIES.bas"),
              "1252:Attribute VB_Name = \"UTILITIES\"\r\nSub B()\r\nEnd Sub\r\n");
    EXPECT_EQ(files.count("______escape.bas"), 1U);
    EXPECT_EQ(files.count("a_b_c.bas"), 1U);
    EXPECT_EQ(files.count("__.bas"), 1U);
    EXPECT_EQ(files.count("_.bas"), 1U);
    EXPECT_EQ(files.at("Form_Orders.cls"),
              "1252:VERSION 1.0 CLASS\r\nBEGIN\r\n  MultiUse = -1  'True\r\nEND\r\n"
              "Attribute VB_Name = \"Form_Orders\"\r\nOption Explicit\r\n");

    // Again over the same folder: the same bytes, however the project lists
    // its modules.
    std::reverse(blueprint.modules.begin(), blueprint.modules.end());
    ExportCode(*memory::OpenMemoryDatabase(blueprint), folder, options);
    EXPECT_EQ(Contents(folder), files);
}

TEST(CodeExport, PruneRemovesOnlyWhatAnEarlierExportWrote) {
    DatabaseBlueprint both = Plain();
    both.modules.push_back({.name = "Kept", .source = "' kept\n"});
    both.modules.push_back({.name = "Gone", .source = "' gone\n"});
    DatabaseBlueprint one = Plain();
    one.modules.push_back({.name = "Kept", .source = "' kept\n"});
    const TempFolder folder;
    CodeExportOptions options;
    options.utf8 = true;
    ExportCode(*memory::OpenMemoryDatabase(both), folder.Path(), options);
    folder.Write("Mine.bas", "' the user's own\n");
    folder.Write("notes.txt", "notes\n");

    // Without --prune the file stays, and stays listed for a later prune.
    EXPECT_TRUE(
        ExportCode(*memory::OpenMemoryDatabase(one), folder.Path(), options).removed.empty());
    EXPECT_TRUE(fs::exists(folder.Path() / "Gone.bas"));

    options.prune = true;
    const CodeExportResult pruned =
        ExportCode(*memory::OpenMemoryDatabase(one), folder.Path(), options);
    EXPECT_EQ(pruned.removed, std::vector<std::string>{"Gone.bas"});
    std::vector<std::string> expected{".ostrel2-code-manifest", "Kept.bas", "Mine.bas",
                                      "notes.txt"};
    std::vector<std::string> entries = folder.Entries();
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, expected);

    // A module that cannot be read this time keeps its earlier file.
    DatabaseBlueprint damaged = one;
    damaged.modules[0].problem = "its stream ends early";
    const CodeExportResult partial =
        ExportCode(*memory::OpenMemoryDatabase(damaged), folder.Path(), options);
    EXPECT_EQ(partial.unreadable, std::vector<std::string>{"Kept: its stream ends early"});
    EXPECT_TRUE(partial.removed.empty());
    EXPECT_EQ(ReadFile((folder.Path() / "Kept.bas").string()),
              "Attribute VB_Name = \"Kept\"\r\n' kept\r\n");

    // A manifest edited to name files elsewhere removes nothing there.
    const TempFolder elsewhere;
    elsewhere.Write("victim.bas", "x");
    folder.Write(".ostrel2-code-manifest",
                 "Kept.bas\n../victim.bas\n" + (elsewhere.Path() / "victim.bas").string() + "\n");
    ExportCode(*memory::OpenMemoryDatabase(one), folder.Path(), options);
    EXPECT_TRUE(fs::exists(elsewhere.Path() / "victim.bas"));
}

}  // namespace
}  // namespace ostrel::engine::testing
