// Text as Jet stores it: UTF-16LE, Access's compressed form, and the code
// pages of Jet 3 files, all leaving the reader as UTF-8.

#include <gtest/gtest.h>

#include <vector>

#include "components/jet/text_decoding.h"

namespace ostrel::jet {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(TextDecoding, Utf16WithSurrogatesAndDamage) {
    EXPECT_EQ(Utf16ToUtf8(Bytes{'A', 0, 0xE9, 0, 0xAC, 0x20}), "A\xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ(Utf16ToUtf8(Bytes{0x3D, 0xD8, 0x00, 0xDE}), "\xF0\x9F\x98\x80");  // U+1F600
    EXPECT_EQ(Utf16ToUtf8(Bytes{0x3D, 0xD8, 'x', 0}), "\xEF\xBF\xBDx");  // lone high surrogate
    EXPECT_EQ(Utf16ToUtf8(Bytes{'A', 0, 'B'}), "A");                     // odd last byte dropped
}

TEST(TextDecoding, CompressedUnicodeSwitchesModesAtZeroBytes) {
    // FF FE marker, "Ab" one byte each, switch, U+20AC as two bytes, switch, "c".
    EXPECT_EQ(DecodeUnicodeText(Bytes{0xFF, 0xFE, 'A', 'b', 0, 0xAC, 0x20, 0, 'c'}),
              "Ab\xE2\x82\xAC"
              "c");
    EXPECT_EQ(DecodeUnicodeText(Bytes{0xFF, 0xFE}), "");
    // A switch to two-byte mode followed by a single byte ends the text.
    EXPECT_EQ(DecodeUnicodeText(Bytes{0xFF, 0xFE, 'A', 0, 'B'}), "A");
    // Without the marker the bytes are plain UTF-16LE.
    EXPECT_EQ(DecodeUnicodeText(Bytes{'h', 0, 'i', 0}), "hi");
}

TEST(TextDecoding, CodePages) {
    EXPECT_EQ(DecodeCodePageText(Bytes{0x80, 'a', 0xE9, 0x9F}, 1252),
              "\xE2\x82\xAC"
              "a\xC3\xA9\xC5\xB8");
    // Cyrillic (1251) through the C library: 0xC0 is U+0410.
    EXPECT_EQ(DecodeCodePageText(Bytes{0xC0, 'z'}, 1251), "\xD0\x90z");
    // An unknown code page falls back to 1252.
    EXPECT_EQ(DecodeCodePageText(Bytes{0xE9}, 99999), "\xC3\xA9");
}

}  // namespace
}  // namespace ostrel::jet
