#include "engine/switch_table.h"

#include <map>
#include <set>
#include <string>

#include <gtest/gtest.h>

namespace ostrel::engine {
namespace {

TEST(SwitchTable, SixtyTwoUniqueKeysAndCheckBoxes) {
    std::set<std::string> keys;
    std::set<std::string> checkBoxes;
    for (const SwitchInfo& info : SwitchTable()) {
        std::string lower(info.key);
        for (char& c : lower) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        keys.insert(lower);
        checkBoxes.emplace(info.checkBox);
    }
    EXPECT_EQ(keys.size(), 76U);
    EXPECT_EQ(checkBoxes.size(), 76U);
}

TEST(SwitchTable, PagesHoldTheirCheckBoxesInOrder) {
    std::map<SwitchPage, int> perPage;
    SwitchPage previous = SwitchPage::Database;
    for (const SwitchInfo& info : SwitchTable()) {
        ++perPage[info.page];
        EXPECT_GE(static_cast<int>(info.page), static_cast<int>(previous)) << info.key;
        previous = info.page;
    }
    EXPECT_EQ(perPage[SwitchPage::Database], 5);
    EXPECT_EQ(perPage[SwitchPage::Tables], 14);
    EXPECT_EQ(perPage[SwitchPage::Fields], 15);
    EXPECT_EQ(perPage[SwitchPage::Indexes], 8);
    EXPECT_EQ(perPage[SwitchPage::Relationships], 10);
    EXPECT_EQ(perPage[SwitchPage::Queries], 10);
    EXPECT_EQ(perPage[SwitchPage::Application], 14);
}

TEST(SwitchTable, KeysAreAnObjectWordAndAPropertyWord) {
    const std::set<std::string> words = {"Database",     "Table", "Field",          "Index",
                                         "Relationship", "Query", "QueryParameter", "Form",
                                         "Report",       "Macro", "Module"};
    for (const SwitchInfo& info : SwitchTable()) {
        const auto blank = info.key.find(' ');
        ASSERT_NE(blank, std::string_view::npos) << info.key;
        EXPECT_TRUE(words.contains(std::string(info.key.substr(0, blank)))) << info.key;
        EXPECT_EQ(info.key.find(' ', blank + 1), std::string_view::npos) << info.key;
    }
}

TEST(SwitchTable, DialogKeysDifferOnlyInLetterCase) {
    int differing = 0;
    for (const SwitchInfo& info : SwitchTable()) {
        if (info.dialogKey != info.key) {
            ++differing;
            EXPECT_EQ(FindSwitch(info.dialogKey), &info);
        }
    }
    EXPECT_EQ(differing, 2);
    EXPECT_EQ(FindSwitch("Table Attachexclusive")->key, "Table AttachExclusive");
    EXPECT_EQ(FindSwitch("table replicafilter")->key, "Table ReplicaFilter");
    EXPECT_EQ(FindSwitch("Field HyperLinkField")->checkBox, "chkHyperLinkField");
    EXPECT_EQ(FindSwitch("Field AutoIncrement")->rowLabel, "AutoIncrField");
    EXPECT_EQ(FindSwitch("No Such"), nullptr);
}

}  // namespace
}  // namespace ostrel::engine
