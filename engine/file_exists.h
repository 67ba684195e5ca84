#pragma once

#include <string>

namespace ostrel::engine {

// Whether the path names a plain file the user can see: a regular file
// (read-only included), not a folder and not hidden (a name starting with ".").
// "*" and "?" in the last path element match as patterns; the path then
// counts as existing when any such file in the folder matches.
bool FileExists(const std::string& path);

// Why FileExists says no for the path, as a sentence for the user ("It is a
// folder, not a database file.").
std::string WhyNoFile(const std::string& path);

// The message for a database that does not exist: the traditional first
// line, then the path and why.
std::string DatabaseMissingMessage(const std::string& path);

}  // namespace ostrel::engine
