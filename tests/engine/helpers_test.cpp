#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <limits>

#include <gtest/gtest.h>

#include "engine/file_exists.h"
#include "engine/progress.h"
#include "engine/replace_char.h"
#include "engine/report_switches.h"
#include "engine/value_text.h"
#include "engine/vocabularies.h"
#include "engine_test_support.h"
#include "temp_folder.h"

namespace ostrel::engine::testing {
namespace {

TEST(ReplaceChar, ReplacesEveryMatchingCharacter) {
    EXPECT_EQ(ReplaceChar("a;b;c", ";", ""), "abc");
    EXPECT_EQ(ReplaceChar("a;b;c", ";", "\r"), "a\rb\rc");
    EXPECT_EQ(ReplaceChar("a\r\nb", "\r", " "), "a \nb");
    EXPECT_EQ(ReplaceChar("", ";", "x"), "");
}

TEST(ReplaceChar, SearchOfOtherThanOneCharacterNeverMatches) {
    EXPECT_EQ(ReplaceChar("a;b;c", "\r\n", ""), "a;b;c");
    EXPECT_EQ(ReplaceChar("a\r\nb", "\r\n", "x"), "a\r\nb");
    EXPECT_EQ(ReplaceChar("abc", "", "x"), "abc");
}

TEST(ReplaceChar, IsCaseSensitiveAndTreatsUtf8CharactersWhole) {
    EXPECT_EQ(ReplaceChar("aAa", "a", "b"), "bAb");
    EXPECT_EQ(ReplaceChar("caf\xC3\xA9;\xC3\xA9", "\xC3\xA9", "e"), "cafe;e");
    // A byte of a longer character is not a character of its own.
    EXPECT_EQ(ReplaceChar("\xC3\xA9", "\xA9", "x"), "\xC3\xA9");
}

TEST(ReplaceChar, HasNoLengthLimit) {
    std::string sql(100000, 'x');
    sql[40000] = ';';
    const std::string cleaned = ReplaceChar(sql, ";", "");
    EXPECT_EQ(cleaned.size(), 99999U);
    EXPECT_EQ(cleaned.find(';'), std::string::npos);
}

// Codes outside the name tables have no name, rather than a neighbour's.
TEST(Vocabularies, UnknownCodesHaveNoName) {
    for (const int code : {-2, -1, 0, 13, 14, 24, 120}) {
        EXPECT_EQ(FieldTypeName(static_cast<std::int16_t>(code)), "") << code;
    }
    for (const int code : {1, 8, 176, 192, 208, -16, 256}) {
        EXPECT_EQ(QueryTypeName(static_cast<std::int16_t>(code)), "") << code;
    }
    for (const int code : {-1, 0, 5}) {
        EXPECT_EQ(ParameterDirectionName(static_cast<std::int16_t>(code)), "") << code;
    }
}

TEST(ValueText, DoublesAsBasicWritesThem) {
    EXPECT_EQ(DoubleText(0.25), "0.25");
    EXPECT_EQ(DoubleText(1.0), "1");
    EXPECT_EQ(DoubleText(-0.0), "0");
    EXPECT_EQ(DoubleText(0.1 + 0.2), "0.3");
    EXPECT_EQ(DoubleText(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(DoubleText(123456789012345.0), "123456789012345");
    EXPECT_EQ(DoubleText(1e20), "1E+20");
    EXPECT_EQ(DoubleText(0.0001), "0.0001");
    EXPECT_EQ(DoubleText(0.00001), "1E-05");
    EXPECT_EQ(DoubleText(-2.5e-7), "-2.5E-07");
}

TEST(ValueText, Variants) {
    const FixedFormatter formatter;
    EXPECT_EQ(VariantText(schema::NullValue{}, formatter), "");
    EXPECT_EQ(VariantText(schema::EmptyValue{}, formatter), "");
    EXPECT_EQ(VariantText(true, formatter), "True");
    EXPECT_EQ(VariantText(std::int64_t{-7}, formatter), "-7");
    EXPECT_EQ(VariantText(2.5, formatter), "2.5");
    EXPECT_EQ(VariantText(std::string("a,b|c"), formatter), "a,b|c");
    EXPECT_EQ(VariantText(schema::DateTime{2026, 12, 6, 18, 15, 30}, formatter),
              "2026-12-6 18:15:30");
}

TEST(ShowProgress, ResetThenFourPasses) {
    FakeHost host;
    int counter = 17;
    ShowProgress(host, counter, true);
    for (int i = 0; i < 4; ++i) {
        ShowProgress(host, counter, false);
    }
    EXPECT_EQ(counter, 4);
    EXPECT_EQ(host.painted, (std::vector<std::string>{"1:Pass 0 2:", "1:Pass 1 2:", "1:Pass 2 2:",
                                                      "1:Pass 3 2:", "1:Pass 4 2:"}));
}

TEST(ParseSwitchText, WordsNumbersAndRefusals) {
    EXPECT_EQ(ParseSwitchText("True"), true);
    EXPECT_EQ(ParseSwitchText("false"), false);
    EXPECT_EQ(ParseSwitchText("TRUE"), true);
    EXPECT_EQ(ParseSwitchText(" False "), false);
    EXPECT_EQ(ParseSwitchText("0"), false);
    EXPECT_EQ(ParseSwitchText("1"), true);
    EXPECT_EQ(ParseSwitchText("-1"), true);
    EXPECT_EQ(ParseSwitchText("0.0"), false);
    EXPECT_EQ(ParseSwitchText("2.5"), true);
    EXPECT_EQ(ParseSwitchText("+3"), true);
    EXPECT_EQ(ParseSwitchText(""), std::nullopt);
    EXPECT_EQ(ParseSwitchText("   "), std::nullopt);
    EXPECT_EQ(ParseSwitchText("yes"), std::nullopt);
    EXPECT_EQ(ParseSwitchText("Truee"), std::nullopt);
    EXPECT_EQ(ParseSwitchText("1x"), std::nullopt);
}

struct FileExistsTest : ::testing::Test {
    TempFolder folder;
    std::string In(const std::string& name) const { return (folder.Path() / name).string(); }
};

TEST_F(FileExistsTest, PlainAndReadOnlyFilesExist) {
    EXPECT_TRUE(FileExists(folder.Write("plain.mdb", "x")));
    const std::string readOnly = folder.Write("readonly.mdb", "x");
    ::chmod(readOnly.c_str(), 0444);
    EXPECT_TRUE(FileExists(readOnly));
}

TEST_F(FileExistsTest, FoldersHiddenAndMissingFilesDoNot) {
    std::filesystem::create_directory(folder.Path() / "sub.mdb");
    EXPECT_FALSE(FileExists(In("sub.mdb")));
    EXPECT_FALSE(FileExists(folder.Path().string()));
    EXPECT_FALSE(FileExists(folder.Write(".hidden.mdb", "x")));
    EXPECT_FALSE(FileExists(In("absent.mdb")));
    EXPECT_FALSE(FileExists(In("")));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists("/dev/null"));
}

TEST_F(FileExistsTest, WildcardsInTheLastElementMatchAsPatterns) {
    folder.Write("northwind.mdb", "x");
    folder.Write(".secret.mdb", "x");
    std::filesystem::create_directory(folder.Path() / "dir.accdb");
    EXPECT_TRUE(FileExists(In("*.mdb")));
    EXPECT_TRUE(FileExists(In("north????.mdb")));
    EXPECT_FALSE(FileExists(In("north???.mdb")));
    EXPECT_FALSE(FileExists(In("*.accdb")));   // only a folder matches
    EXPECT_FALSE(FileExists(In(".s*.mdb")));   // only a hidden file matches
    EXPECT_FALSE(FileExists(In("[n]*.mdb")));  // brackets are no pattern
    folder.Write("[n]orth.mdb", "x");
    EXPECT_TRUE(FileExists(In("[n]*.mdb")));
    EXPECT_FALSE(FileExists(In("no folder/*.mdb")));
}

}  // namespace
}  // namespace ostrel::engine::testing
