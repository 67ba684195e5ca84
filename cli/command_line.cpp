#include "cli/command_line.h"

#include <algorithm>
#include <array>

#include "components/diagram/diagram_format.h"

#include "ostrel_version.h"

namespace ostrel::cli {
namespace {

// Splits "--name=value" into its parts; an argument without "=" has no value.
std::pair<std::string_view, std::optional<std::string_view>> SplitOption(std::string_view arg) {
    const auto equals = arg.find('=');
    if (equals == std::string_view::npos) {
        return {arg, std::nullopt};
    }
    return {arg.substr(0, equals), arg.substr(equals + 1)};
}

// An option naming one file (or folder): given at most once, never empty.
struct PathOption {
    std::string_view name;
    std::optional<std::string> CommandLine::*path;
    // What an empty value is told it lacks.
    std::string_view needs;
};

constexpr std::string_view kFileOrStandardOutput = "a file name, or - for standard output";
constexpr std::string_view kFileOrStandardInput = "a file name, or - for standard input";

constexpr std::array kPathOptions{
    PathOption{"--csv", &CommandLine::csvPath, kFileOrStandardOutput},
    PathOption{"--pdf", &CommandLine::pdfPath, kFileOrStandardOutput},
    PathOption{"--diagram", &CommandLine::diagramPath, kFileOrStandardOutput},
    PathOption{"--json", &CommandLine::jsonPath, kFileOrStandardOutput},
    PathOption{"--html", &CommandLine::htmlPath, kFileOrStandardOutput},
    PathOption{"--export-code", &CommandLine::exportCodeDir, "a folder"},
    PathOption{"--password-file", &CommandLine::passwordFile, kFileOrStandardInput},
    PathOption{"--new-password-file", &CommandLine::newPasswordFile, kFileOrStandardInput},
};

// An option that may be repeated, each value adding a name.
struct ListOption {
    std::string_view name;
    std::vector<std::string> CommandLine::*names;
};

constexpr std::array kListOptions{
    ListOption{"--table", &CommandLine::tables},
    ListOption{"--query", &CommandLine::queries},
    ListOption{"--form", &CommandLine::forms},
    ListOption{"--report-object", &CommandLine::reports},
    ListOption{"--macro", &CommandLine::macros},
    ListOption{"--module", &CommandLine::modules},
    ListOption{"--link-folder", &CommandLine::linkFolders},
};

// An option that switches something on and takes no value.
struct FlagOption {
    std::string_view name;
    bool CommandLine::*flag;
};

constexpr std::array kFlagOptions{
    FlagOption{"--strict", &CommandLine::strict},
    FlagOption{"--all-switches", &CommandLine::allSwitches},
    FlagOption{"--csv-quoted", &CommandLine::csvQuoted},
    FlagOption{"--prune", &CommandLine::prune},
    FlagOption{"--compare-volatile", &CommandLine::compareVolatile},
    FlagOption{"--all", &CommandLine::listUnchanged},
    FlagOption{"--help", &CommandLine::help},
    FlagOption{"-h", &CommandLine::help},
    FlagOption{"--version", &CommandLine::version},
};

template <typename Options>
auto FindOption(const Options& options, std::string_view name) -> decltype(&options[0]) {
    const auto found = std::find_if(options.begin(), options.end(),
                                    [&](const auto& option) { return option.name == name; });
    return found == options.end() ? nullptr : &*found;
}

// Walks the arguments once, filling a CommandLine and collecting the
// databases named outside options.
class ArgumentReader {
  public:
    explicit ArgumentReader(const std::vector<std::string_view>& arguments)
        : arguments_(arguments) {}

    CommandLine Read();
    const std::vector<std::string_view>& Positional() const { return positional_; }

  private:
    void ReadOption(std::string_view name, std::optional<std::string_view> inlineValue);
    bool ReadPlainOption(std::string_view name, std::optional<std::string_view> inlineValue);
    void ReadCompare(std::optional<std::string_view> inlineValue);
    std::string TakeValue(std::string_view name, std::optional<std::string_view> inlineValue);

    const std::vector<std::string_view>& arguments_;
    std::size_t next_ = 0;
    std::vector<std::string_view> positional_;
    CommandLine line_;
};

CommandLine ArgumentReader::Read() {
    bool optionsEnded = false;
    while (next_ < arguments_.size()) {
        const std::string_view arg = arguments_[next_++];
        if (optionsEnded || arg == "-" || !arg.starts_with("-")) {
            positional_.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else {
            const auto [name, inlineValue] = SplitOption(arg);
            ReadOption(name, inlineValue);
        }
    }
    return std::move(line_);
}

std::string ArgumentReader::TakeValue(std::string_view name,
                                      std::optional<std::string_view> inlineValue) {
    if (inlineValue) {
        return std::string(*inlineValue);
    }
    if (next_ >= arguments_.size()) {
        throw UsageError("option " + std::string(name) + " needs a value");
    }
    return std::string(arguments_[next_++]);
}

void ArgumentReader::ReadOption(std::string_view name,
                                std::optional<std::string_view> inlineValue) {
    if (ReadPlainOption(name, inlineValue)) {
        return;
    }
    if (name == "--compare") {
        ReadCompare(inlineValue);
    } else if (name == "--code-encoding") {
        const std::string encoding = TakeValue(name, inlineValue);
        if (encoding != "utf-8" && encoding != "UTF-8") {
            throw UsageError("option --code-encoding takes only utf-8");
        }
        line_.codeUtf8 = true;
    } else {
        throw UsageError("unknown option " + std::string(name));
    }
}

// Options of the three plain shapes; false when NAME is none of them.
bool ArgumentReader::ReadPlainOption(std::string_view name,
                                     std::optional<std::string_view> inlineValue) {
    if (const auto* option = FindOption(kPathOptions, name)) {
        auto& path = line_.*(option->path);
        if (path) {
            throw UsageError("option " + std::string(name) + " is given more than once");
        }
        path = TakeValue(name, inlineValue);
        if (path->empty()) {
            throw UsageError("option " + std::string(name) + " needs " +
                             std::string(option->needs));
        }
        if (option->path == &CommandLine::diagramPath && !diagram::DiagramFormatOf(*path)) {
            throw UsageError(
                "option --diagram needs a file name ending in .svg, .png or .pdf (or none, "
                "for SVG)");
        }
    } else if (const auto* list = FindOption(kListOptions, name)) {
        auto& names = line_.*(list->names);
        names.push_back(TakeValue(name, inlineValue));
        if (list->names == &CommandLine::linkFolders && names.back().empty()) {
            throw UsageError("option --link-folder needs a folder");
        }
    } else if (const auto* flag = FindOption(kFlagOptions, name)) {
        if (inlineValue) {
            throw UsageError("option " + std::string(name) + " takes no value");
        }
        line_.*(flag->flag) = true;
    } else {
        return false;
    }
    return true;
}

// --compare OLD NEW: OLD joins the positional databases, as a view of the
// argument itself, and NEW is the one compared with.
void ArgumentReader::ReadCompare(std::optional<std::string_view> inlineValue) {
    if (line_.compareWith) {
        throw UsageError("option --compare is given more than once");
    }
    if (inlineValue) {
        positional_.push_back(*inlineValue);
    } else if (next_ < arguments_.size()) {
        positional_.push_back(arguments_[next_++]);
    }
    if (positional_.empty() || next_ >= arguments_.size()) {
        throw UsageError("option --compare needs two databases, OLD and NEW");
    }
    line_.compareWith = std::string(arguments_[next_++]);
}

void CheckDatabases(CommandLine& line, const std::vector<std::string_view>& positional) {
    if (positional.empty()) {
        throw UsageError("no database named");
    }
    if (positional.size() > 1 && !line.compareWith) {
        throw UsageError("more than one database named: " + std::string(positional[1]));
    }
    line.database = std::string(positional.front());
    if (line.compareWith && positional.size() > 1) {
        throw UsageError("--compare takes the two databases; also named: " +
                         std::string(positional[1]));
    }
}

// Options that only make sense together with another one.
void CheckCompanions(const CommandLine& line) {
    if (!line.compareWith && (line.compareVolatile || line.listUnchanged)) {
        throw UsageError(std::string(line.compareVolatile ? "--compare-volatile" : "--all") +
                         " is for use with --compare");
    }
    if (line.compareWith && line.diagramPath) {
        throw UsageError("--diagram draws one database; it is not for use with --compare");
    }
    if ((line.codeUtf8 || line.prune) && !line.exportCodeDir) {
        throw UsageError(std::string(line.prune ? "--prune" : "--code-encoding") +
                         " is for use with --export-code");
    }
    if (line.exportCodeDir && (line.compareWith || line.csvPath || line.jsonPath || line.htmlPath ||
                               line.pdfPath || line.diagramPath)) {
        throw UsageError("--export-code writes code files only; it takes no other output");
    }
    if (line.newPasswordFile && !line.compareWith) {
        throw UsageError("--new-password-file is for use with --compare");
    }
    if (line.passwordFile == "-" && line.newPasswordFile == "-") {
        throw UsageError(
            "only one of --password-file and --new-password-file can be read from "
            "standard input");
    }
}

void CheckOutputs(CommandLine& line) {
    const auto toStandardOutput = [](const std::optional<std::string>& path) {
        return path && (*path == "-" || *path == "/dev/stdout");
    };
    const std::array outputs{&line.csvPath, &line.jsonPath, &line.htmlPath, &line.pdfPath,
                             &line.diagramPath};
    if (std::count_if(outputs.begin(), outputs.end(),
                      [&](const auto* path) { return toStandardOutput(*path); }) > 1) {
        throw UsageError(
            "only one of --csv, --json, --html, --pdf and --diagram can go to standard output");
    }
    if (std::none_of(outputs.begin(), outputs.end(), [](const auto* path) { return *path; }) &&
        !line.exportCodeDir) {
        line.csvPath = "-";
    }
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string_view>& arguments) {
    ArgumentReader reader(arguments);
    CommandLine line = reader.Read();
    if (line.help || line.version) {
        return line;
    }
    CheckDatabases(line, reader.Positional());
    CheckCompanions(line);
    CheckOutputs(line);
    return line;
}

std::string UsageText() {
    return "Usage: ostrel2-report [OPTION]... DATABASE\n"
           "  or:  ostrel2-report [OPTION]... --compare OLD NEW\n"
           "Write a report of the design of the Access database DATABASE, or of what\n"
           "changed in the design between OLD and NEW.\n"
           "\n"
           "  --csv FILE       write the report as CSV text to FILE (\"-\": standard output,\n"
           "                   the default when no --pdf, --json, --html or --diagram is given)\n"
           "  --csv-quoted     quote CSV cells that hold a comma, quote or line break\n"
           "  --pdf FILE       write the paged report, as the print preview shows it, to FILE\n"
           "                   (\"-\": standard output)\n"
           "  --json FILE      write the report as JSON to FILE (\"-\": standard output)\n"
           "  --html FILE      write the report as one self-contained HTML page to FILE\n"
           "                   (\"-\": standard output)\n"
           "  --diagram FILE   draw the relationships between the selected tables to FILE,\n"
           "                   as SVG, PNG or PDF by its extension (.svg, .png, .pdf; SVG\n"
           "                   without one, and for \"-\", standard output)\n"
           "  --table NAME     document table NAME (may be repeated)\n"
           "  --query NAME     document query NAME (may be repeated)\n"
           "  --form NAME      document form NAME (may be repeated)\n"
           "  --report-object NAME  document report NAME (may be repeated)\n"
           "  --macro NAME     document macro NAME (may be repeated)\n"
           "  --module NAME    document VBA module NAME (may be repeated)\n"
           "  --all-switches   report every property, ignoring the stored report switches\n"
           "  --link-folder DIR  look in DIR for the source databases of linked tables\n"
           "                   (may be repeated; after the place the link names and the\n"
           "                   database's own folder)\n"
           "  --strict         fail when a linked table's source cannot be read, instead\n"
           "                   of documenting the table without its fields\n"
           "  --export-code DIR  write every VBA module to its own file in DIR (.bas,\n"
           "                   .cls, as the VBA editor exports them) instead of a report\n"
           "  --code-encoding utf-8  write those files in UTF-8, not the project's\n"
           "                   code page\n"
           "  --prune          remove files an earlier --export-code wrote for modules\n"
           "                   that no longer exist\n"
           "  --compare OLD NEW  compare the designs of two databases\n"
           "  --compare-volatile  also compare DateCreated, LastUpdated, RecordCount and\n"
           "                   DistinctCount, which change whenever a file is used\n"
           "  --all            list unchanged objects in the comparison too\n"
           "  --password-file FILE  read the password of an encrypted database (OLD in a\n"
           "                   comparison) from the first line of FILE (\"-\": standard\n"
           "                   input); without it, a terminal is asked for it\n"
           "  --new-password-file FILE  the same for NEW in a comparison\n"
           "  -h, --help       show this help and exit\n"
           "      --version    show the version and exit\n"
           "\n"
           "Without --table, --query and the options above that name objects, every\n"
           "table except Access's own (\"MSys...\" and the hidden \"f_...\" tables of\n"
           "multi-valued fields) and every query, form, report, macro and module is\n"
           "documented; with any of them, exactly the named objects (names are\n"
           "case-sensitive).\n"
           "A linked table whose source cannot be read is named in a warning.\n"
           "\n"
           "A comparison matches objects by name, ignoring letter case.\n"
           "\n"
           "Encoded databases need no password. No option takes a password itself, as\n"
           "other users can see a command line.\n"
           "\n"
           "Exit status: 0 success (for --compare: no differences), 1 differences found,\n"
           "2 database does not exist, 3 an output (CSV, JSON, HTML, PDF or diagram) cannot\n"
           "be written, 4 any other failure (also a wrong or missing password), 64 the command\n"
           "line cannot be understood.\n";
}

std::string VersionText() {
    return std::string("ostrel2-report ") + kVersionText + "\n";
}

}  // namespace ostrel::cli
