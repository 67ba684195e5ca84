#pragma once

#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "components/jet/byte_cursor.h"

namespace ostrel::jet {

// The forms, reports and macros of Access's storage trees sit in
// Forms/<n>, Reports/<n> and Scripts/<n>; a stream "\x03DirData" beside
// them maps each object's name to its <n>: after a four-byte header, entries
// of a type byte (4), a length byte (of the name and the number), the name in
// UTF-16LE and the number as four bytes.
inline constexpr char kDirDataStream[] =
    "\x03"
    "DirData";

// The entries of a DirData stream: each object's name with the name of its
// storage (the number as text). Raises SchemaError through the cursor for an
// entry that runs past the stream or is of another type.
std::vector<std::pair<std::string, std::string>> ParseDirData(const ByteCursor& dirData);

// A macro that Access 2010 or later keeps as XML holds it in its Blob stream
// as pieces of UTF-16LE text between binary records, each preceded by its
// length in bytes (two bytes), marked "_AXL:" and ended by a NUL character. The pieces joined, or
// nothing when the blob holds none (an older, binary macro).
std::optional<std::string> MacroXmlFromBlob(std::span<const std::uint8_t> blob);

}  // namespace ostrel::jet
