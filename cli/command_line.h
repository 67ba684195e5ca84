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
    // none of --csv, --pdf, --json, --html and --diagram is given.
    std::optional<std::string> csvPath;
    // Where the paged report goes as PDF.
    std::optional<std::string> pdfPath;
    // Where the relationship diagram of the selected tables goes, as SVG, PNG
    // or PDF by the file name's extension.
    std::optional<std::string> diagramPath;
    // Tables and queries to document, case-sensitive. When both are empty,
    // every table but Access's own and every query is documented.
    std::vector<std::string> tables;
    std::vector<std::string> queries;
    std::vector<std::string> forms;
    std::vector<std::string> reports;  // --report-object
    std::vector<std::string> macros;
    std::vector<std::string> modules;
    // Where to look for the source databases of linked tables.
    std::vector<std::string> linkFolders;
    // A linked table whose source cannot be read fails the run.
    bool strict = false;
    bool allSwitches = false;
    // Where the structured (JSON) report goes; "-" is standard output.
    std::optional<std::string> jsonPath;
    // Where the report goes as one HTML page; "-" is standard output.
    std::optional<std::string> htmlPath;
    // CSV cells holding a comma, quote or line break are quoted (RFC 4180).
    bool csvQuoted = false;
    // --compare OLD NEW: database holds OLD, compareWith NEW.
    std::optional<std::string> compareWith;
    bool compareVolatile = false;  // also compare dates, record and key counts
    bool listUnchanged = false;    // --all: list unchanged objects too
    // Files whose first line is the password of the database (OLD in a
    // comparison) and of NEW; "-" is standard input.
    std::optional<std::string> passwordFile;
    std::optional<std::string> newPasswordFile;
    // --export-code DIR: write every VBA module to its own file in DIR
    // instead of a report; in UTF-8 with --code-encoding utf-8; --prune
    // removes the files of an earlier export whose modules are gone.
    std::optional<std::string> exportCodeDir;
    bool codeUtf8 = false;
    bool prune = false;
    bool help = false;
    bool version = false;

    bool NamesObjects() const {
        return !tables.empty() || !queries.empty() || !forms.empty() || !reports.empty() ||
               !macros.empty() || !modules.empty();
    }
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
