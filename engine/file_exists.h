#pragma once

#include <string>

namespace ostrel::engine {

// Whether the path names a plain file the user can see: a regular file
// (read-only included), not a folder and not hidden (a name starting with ".").
// "*" and "?" in the last path element match as patterns; the path then
// counts as existing when any such file in the folder matches.
bool FileExists(const std::string& path);

}  // namespace ostrel::engine
