#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace ostrel::jet {

// Where the source database of a linked table is looked for: the path as the
// link stores it, then, by the last element of that path (a Windows path:
// drive letters and UNC prefixes mean nothing here), beside the linking
// database and in each of folders in turn. File names match without regard
// to letter case, as the link was written on Windows. Only a regular file
// that is not the linking database itself is found, so that a link naming a
// device, a FIFO, a folder or its own database is never opened.
std::optional<std::filesystem::path> FindLinkedDatabase(
    const std::string& storedPath, const std::filesystem::path& linkingDatabase,
    const std::vector<std::filesystem::path>& folders);

}  // namespace ostrel::jet
