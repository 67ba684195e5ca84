#pragma once

#include <string>

namespace ostrel::document {

// An output that is a stream rather than a file to be replaced once complete:
// standard output ("-", /dev/stdout), /dev/stderr, /dev/fd/N, or an existing
// device or pipe such as /dev/null. Such a target is written as the output is
// made; a file is written beside its target and moved over it at the end.
bool IsStreamTarget(const std::string& path);

// Opens a stream target for writing and returns a new descriptor, or -1 with
// errno set. Standard output and the /dev/fd names share the open descriptor
// (and its place in the file), as the shell's redirection set it up.
int OpenStreamTarget(const std::string& path);

}  // namespace ostrel::document
