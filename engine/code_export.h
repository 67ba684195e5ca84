#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "components/schema/database.h"

namespace ostrel::engine {

// Turns UTF-8 text into a Windows code page's bytes (a character the code
// page lacks becomes "?").
using CodePageEncoder = std::function<std::string(std::string_view utf8, int codePage)>;

struct CodeExportOptions {
    // Write UTF-8 instead of the project's code page.
    bool utf8 = false;
    // Remove the files an earlier export listed in the folder's manifest for
    // modules that no longer exist.
    bool prune = false;
    CodePageEncoder encode;  // needed unless utf8
};

// What an export did, file names relative to the folder.
struct CodeExportResult {
    std::vector<std::string> written;     // every module's file, changed or not
    std::vector<std::string> removed;     // pruned
    std::vector<std::string> unreadable;  // "Name: why" of modules left out
};

// The name of the manifest an export keeps in its folder.
inline constexpr std::string_view kCodeManifest = ".ostrel2-code-manifest";

// A module's file as the VBA editor's Export File writes it: a standard
// module as ".bas" beginning with its "Attribute VB_Name" line, any other
// as ".cls" beginning with the "VERSION 1.0 CLASS" block; CR LF line ends.
// The text stays UTF-8 here.
std::string ExportText(const schema::VbaModule& module, const std::string& source);

// The file names of modules, in the order given: only letters, digits, "_"
// and "-" of the name kept (others become "_"), never empty or hidden, and
// names that differ only by letter case, or that clash after this, numbered
// "~2", "~3" in the order given.
std::vector<std::string> ExportFileNames(const std::vector<std::string>& moduleNames,
                                         const std::vector<bool>& standard);

// Writes every module of the database to its own file in folder (made when
// missing), each replaced atomically and only when its bytes change, then
// the manifest. Throws std::runtime_error naming the file and the reason
// when a file cannot be written; nothing is ever written or removed outside
// the folder, and only files the manifest lists are removed.
CodeExportResult ExportCode(const schema::Database& database, const std::filesystem::path& folder,
                            const CodeExportOptions& options);

}  // namespace ostrel::engine
