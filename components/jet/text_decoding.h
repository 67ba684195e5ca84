#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace ostrel::jet {

class PageFile;

// Text as a file stores it, in names, rows and property values: in Jet 4 and
// ACE files UTF-16LE (compressed or not, as DecodeUnicodeText reads it), in
// Jet 3 files the file's code page. Every reader decodes text through this.
std::string DecodeText(const PageFile& file, std::span<const std::uint8_t> bytes);

// UTF-16LE to UTF-8. Unpaired surrogates become U+FFFD; an odd last byte is
// dropped.
std::string Utf16ToUtf8(std::span<const std::uint8_t> bytes);

// Text as Jet 4 and ACE store it in rows and property blobs: UTF-16LE, or,
// when it starts with FF FE, Access's compressed form in which runs of
// one-byte characters (high byte zero) and runs of UTF-16LE alternate, each
// 00 byte switching between them (starting with one-byte characters).
std::string DecodeUnicodeText(std::span<const std::uint8_t> bytes);

// Text of a Jet 3 file in the given Windows code page: 1252 by the reader's
// own table, others through the C library's converter; text the converter
// cannot take is decoded as 1252.
std::string DecodeCodePageText(std::span<const std::uint8_t> bytes, int codePage);

// UTF-8 text in a Windows code page (65001: as it is), for files written
// back for Access: a character the code page lacks, or bytes that are not
// UTF-8, become "?". A code page the C library does not know gives the text
// unchanged.
std::string EncodeCodePageText(std::string_view utf8, int codePage);

// Text of a VBA project in its Windows code page (1252 by the reader's own
// table, others through the C library's converter, 65001 as UTF-8): bytes
// the code page does not define each become U+FFFD, the rest of the text is
// kept. Code pages the converter does not know are read as 1252.
std::string DecodeProjectText(std::span<const std::uint8_t> bytes, int codePage);

// Appends one code point as UTF-8.
void AppendUtf8(std::string& out, std::uint32_t codePoint);

}  // namespace ostrel::jet
