// The comparison over pairs of real Jet files made with jetgen, each pair
// differing in one member: the cases are data (data/comparison_cases.json).
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "components/jet/jet_engine.h"
#include "components/schema/own_tables.h"
#include "engine/comparison.h"
#include "engine/object_name.h"
#include "engine_test_support.h"
#include "temp_folder.h"
#include "tools/jetgen/description_json.h"
#include "tools/jetgen/generator.h"

namespace ostrel::engine::testing {
namespace {

using Json = nlohmann::json;

const Json& Cases() {
    static const Json cases = [] {
        std::ifstream in(OSTREL_COMPARISON_CASES);
        return Json::parse(in);
    }();
    return cases;
}

void MakeDatabase(const Json& description, const std::filesystem::path& path) {
    jetgen::WriteDatabase(jetgen::ParseDescription(description.dump()), path);
}

// One line per difference: "table Orders field Amount: Type",
// "table Spare: removed", "database: CollatingOrder".
std::vector<std::string> Lines(const Comparison& comparison) {
    std::vector<std::string> lines;
    const auto properties = [&lines](const std::string& subject,
                                     const std::vector<PropertyChange>& changes) {
        for (const PropertyChange& change : changes) {
            lines.push_back(subject + ": " + std::string(change.info->rowLabel));
        }
    };
    const auto members = [&](const std::string& owner, const char* kind,
                             const std::vector<MemberComparison>& list) {
        for (const MemberComparison& member : list) {
            const std::string subject = owner + " " + kind + " " + member.name;
            if (member.change == Change::Changed) {
                properties(subject, member.properties);
            } else {
                lines.push_back(subject + ": " + std::string(ChangeWord(member.change)));
            }
        }
    };
    properties("database", comparison.database);
    for (const auto& [kind, list] : {std::pair{"table", &comparison.tables},
                                     std::pair{"relationship", &comparison.relationships},
                                     std::pair{"query", &comparison.queries}}) {
        for (const ObjectComparison& object : *list) {
            const std::string subject = std::string(kind) + " " + object.name;
            if (object.change != Change::Changed) {
                lines.push_back(subject + ": " + std::string(ChangeWord(object.change)));
                continue;
            }
            properties(subject, object.properties);
            members(subject, "field", object.fields);
            members(subject, "index", object.indexes);
            members(subject, "parameter", object.parameters);
        }
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

struct Pair {
    TempFolder folder;
    std::unique_ptr<schema::Database> oldDatabase;
    std::unique_ptr<schema::Database> newDatabase;
    jet::JetEngine engine;
};

std::unique_ptr<Pair> OpenPair(const Json& oldDescription, const Json& newDescription) {
    auto pair = std::make_unique<Pair>();
    const auto oldPath = pair->folder.Path() / "old.mdb";
    const auto newPath = pair->folder.Path() / "new.mdb";
    MakeDatabase(oldDescription, oldPath);
    MakeDatabase(newDescription, newPath);
    pair->oldDatabase = pair->engine.OpenDatabase(oldPath.string());
    pair->newDatabase = pair->engine.OpenDatabase(newPath.string());
    return pair;
}

// Every table but the system tables, and every query, as the batch program
// selects them by default.
ObjectFilter Everything() {
    return {[](ObjectKind kind, const std::string& name) {
                return kind != ObjectKind::Table || !schema::IsAccessOwnTable(name);
            },
            {}};
}

std::vector<std::string> Compare(const Pair& pair, const ReportSwitches& switches,
                                 bool volatileProperties) {
    ComparisonOptions options;
    options.volatileProperties = volatileProperties;
    return Lines(
        CompareDatabases(*pair.oldDatabase, *pair.newDatabase, switches, Everything(), options));
}

std::vector<std::string> Strings(const Json& list) {
    std::vector<std::string> strings = list.get<std::vector<std::string>>();
    std::sort(strings.begin(), strings.end());
    return strings;
}

class ComparisonCase : public ::testing::TestWithParam<std::size_t> {};

TEST_P(ComparisonCase, ReportsThatDifferenceAndNothingElse) {
    const Json& testCase = Cases()["cases"][GetParam()];
    SCOPED_TRACE(testCase["name"].get<std::string>());
    Json base = Cases()["base"];
    if (testCase.contains("base")) {
        base = base.patch(testCase["base"]);
    }
    const auto pair = OpenPair(base, base.patch(testCase["patch"]));
    const std::vector<std::string> expected = Strings(testCase["expect"]);
    MapSwitches allOn;
    const bool isVolatile = testCase.value("volatile", false);
    EXPECT_EQ(Compare(*pair, allOn, true), expected);
    if (isVolatile) {
        EXPECT_EQ(Compare(*pair, allOn, false), std::vector<std::string>{})
            << "compared although it changes with every use";
    }
    if (testCase.contains("switch")) {
        const std::string key = testCase["switch"];
        const SwitchInfo* info = FindSwitch(key);
        ASSERT_NE(info, nullptr) << key;
        MapSwitches off;
        off.Set(key, false);
        std::vector<std::string> rest;
        const std::string ending = ": " + std::string(info->rowLabel);
        std::copy_if(expected.begin(), expected.end(), std::back_inserter(rest),
                     [&ending](const std::string& line) { return !line.ends_with(ending); });
        EXPECT_EQ(Compare(*pair, off, true), rest) << "compared with its switch off";
    }
}

INSTANTIATE_TEST_SUITE_P(Pairs, ComparisonCase,
                         ::testing::Range<std::size_t>(0, Cases()["cases"].size()),
                         [](const auto& param) {
                             std::string name = Cases()["cases"][param.param]["name"];
                             std::replace(name.begin(), name.end(), ' ', '_');
                             return name;
                         });

TEST(Comparison, FileWithItselfHasNoDifference) {
    const auto pair = OpenPair(Cases()["base"], Cases()["base"]);
    MapSwitches allOn;
    ComparisonOptions everything;
    everything.volatileProperties = true;
    const Comparison comparison =
        CompareDatabases(*pair->oldDatabase, *pair->newDatabase, allOn, Everything(), everything);
    EXPECT_FALSE(comparison.HasDifferences());
    EXPECT_TRUE(comparison.tables.empty());

    // Listing unchanged objects lists every one, still without a difference.
    everything.listUnchanged = true;
    const Comparison listed =
        CompareDatabases(*pair->oldDatabase, *pair->newDatabase, allOn, Everything(), everything);
    EXPECT_FALSE(listed.HasDifferences());
    ASSERT_EQ(listed.tables.size(), 3U);
    EXPECT_EQ(listed.tables[0].change, Change::Unchanged);
    EXPECT_EQ(listed.tables[0].fields.size(), 3U);
    EXPECT_EQ(listed.queries.size(), 2U);
}

// What is added comes with what the report would show for it: an added
// field's type and size, an added table's own rows and its fields'.
TEST(Comparison, AddedItemsCarryTheirRows) {
    Json changed = Cases()["base"];
    changed["tables"][2]["columns"].push_back({{"name", "Z"}, {"type", "Text"}, {"size", 40}});
    changed["tables"].push_back(
        {{"name", "Extra"}, {"columns", {{{"name", "A"}, {"type", "Long"}}}}});
    const auto pair = OpenPair(Cases()["base"], changed);
    MapSwitches allOn;
    const Comparison comparison =
        CompareDatabases(*pair->oldDatabase, *pair->newDatabase, allOn, Everything(), {});
    const auto valueOf = [](const std::vector<PropertyChange>& rows, std::string_view label) {
        for (const PropertyChange& row : rows) {
            if (row.info->rowLabel == label) {
                EXPECT_TRUE(schema::IsEmpty(row.oldValue)) << label;
                return row.newValue;
            }
        }
        ADD_FAILURE() << "no row " << label;
        return schema::Variant{};
    };
    ASSERT_EQ(comparison.tables.size(), 2U);
    const ObjectComparison& spare = comparison.tables[0];
    ASSERT_EQ(spare.fields.size(), 1U);
    EXPECT_EQ(spare.fields[0].change, Change::Added);
    EXPECT_EQ(valueOf(spare.fields[0].properties, "Type"), schema::Variant(std::string("Text")));
    EXPECT_EQ(valueOf(spare.fields[0].properties, "Size"), schema::Variant(std::int64_t{40}));

    const ObjectComparison& extra = comparison.tables[1];
    EXPECT_EQ(extra.change, Change::Added);
    EXPECT_EQ(valueOf(extra.properties, "Updatable"), schema::Variant(true));
    ASSERT_EQ(extra.fields.size(), 1U);
    EXPECT_EQ(extra.fields[0].name, "A");
    EXPECT_EQ(valueOf(extra.fields[0].properties, "Type"), schema::Variant(std::string("Long")));
}

// The selection applies to both files: an unselected object is not compared,
// and an object only one file holds is reported when its name is selected.
TEST(Comparison, SelectionAppliesToBothFiles) {
    Json changed = Cases()["base"];
    changed["tables"][2]["name"] = "Spares";                   // Spare removed, Spares added
    changed["tables"][0]["validationText"] = "Another text.";  // Customers changed
    changed["queries"][0]["where"] = "Amount > 5";             // Big Orders changed
    const auto pair = OpenPair(Cases()["base"], changed);
    MapSwitches allOn;
    // Tables by name; no query; every relationship.
    const auto only = [](std::set<std::string> names) {
        return [names = std::move(names)](ObjectKind kind, const std::string& name) {
            return kind == ObjectKind::Relationship ||
                   (kind == ObjectKind::Table && names.count(name) != 0);
        };
    };
    ObjectFilter filter{only({"Spares", "Orders"}), {}};
    const Comparison comparison = CompareDatabases(*pair->oldDatabase, *pair->newDatabase, allOn,
                                                   filter, ComparisonOptions{});
    EXPECT_EQ(Lines(comparison), std::vector<std::string>{"table Spares: added"});

    // The desktop's pickers list the old file only; what the new file adds is
    // shown, but not its system tables.
    filter.selectedAdded = [](ObjectKind kind, const std::string& name) {
        return kind == ObjectKind::Table && !schema::IsAccessOwnTable(name);
    };
    filter.selected = only({"Spare"});
    const Comparison desktop = CompareDatabases(*pair->oldDatabase, *pair->newDatabase, allOn,
                                                filter, ComparisonOptions{});
    EXPECT_EQ(Lines(desktop),
              (std::vector<std::string>{"table Spare: removed", "table Spares: added"}));
}

}  // namespace
}  // namespace ostrel::engine::testing
