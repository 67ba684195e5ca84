#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace ostrel::cli {

// What the user asked for on the command line.
struct CommandLine {
    std::string database;
    // Where the CSV report goes; "-" is standard output. Standard output when
    // none of --csv, --pdf and --diagram is given.
    std::optional<std::string> csvPath;
    // Where the paged report goes as PDF.
    std::optional<std::string> pdfPath;
    // Where the relationship diagram of the selected tables goes, as SVG, PNG
    // or PDF by the file name's extension.
    std::optional<std::string> diagramPath;
    // Tables and queries to document, case-sensitive. When both are empty,
    // every table not named "MSys..." and every query is documented.
    std::vector<std::string> tables;
    std::vector<std::string> queries;
    bool allSwitches = false;
    bool help = false;
    bool version = false;

    bool NamesObjects() const { return !tables.empty() || !queries.empty(); }
};

// A command line that cannot be understood; the message says why.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Reads the arguments after the program name. Throws UsageError.
CommandLine ParseCommandLine(const std::vector<std::string_view>& arguments);

// The text of --help and of --version.
std::string UsageText();
std::string VersionText();

}  // namespace ostrel::cli
