#include "engine/switch_table.h"

#include <set>
#include <string>

#include <gtest/gtest.h>

namespace ostrel::engine {
namespace {

TEST(SwitchTable, SeventySixUniqueKeys) {
    std::set<std::string> keys;
    for (const SwitchInfo& info : SwitchTable()) {
        std::string lower(info.key);
        for (char& c : lower) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        keys.insert(lower);
    }
    EXPECT_EQ(keys.size(), 76U);
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
    EXPECT_EQ(FindSwitch("Field AutoIncrement")->rowLabel, "AutoIncrField");
    EXPECT_EQ(FindSwitch("No Such"), nullptr);
}

}  // namespace
}  // namespace ostrel::engine
