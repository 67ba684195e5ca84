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

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string_view>& arguments) {
    CommandLine line;
    std::vector<std::string_view> positional;
    bool optionsEnded = false;

    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view arg = arguments[i];
        if (optionsEnded || arg == "-" || !arg.starts_with("-")) {
            positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const auto [name, inlineValue] = SplitOption(arg);
        const auto takeValue = [&, name = name, inlineValue = inlineValue]() -> std::string {
            if (inlineValue) {
                return std::string(*inlineValue);
            }
            if (i + 1 >= arguments.size()) {
                throw UsageError("option " + std::string(name) + " needs a value");
            }
            return std::string(arguments[++i]);
        };
        const auto noValue = [name = name, inlineValue = inlineValue]() {
            if (inlineValue) {
                throw UsageError("option " + std::string(name) + " takes no value");
            }
        };

        if (name == "--csv") {
            if (line.csvPath) {
                throw UsageError("option --csv is given more than once");
            }
            line.csvPath = takeValue();
            if (line.csvPath->empty()) {
                throw UsageError("option --csv needs a file name, or - for standard output");
            }
        } else if (name == "--pdf") {
            if (line.pdfPath) {
                throw UsageError("option --pdf is given more than once");
            }
            line.pdfPath = takeValue();
            if (line.pdfPath->empty()) {
                throw UsageError("option --pdf needs a file name, or - for standard output");
            }
        } else if (name == "--diagram") {
            if (line.diagramPath) {
                throw UsageError("option --diagram is given more than once");
            }
            line.diagramPath = takeValue();
            if (line.diagramPath->empty()) {
                throw UsageError("option --diagram needs a file name, or - for standard output");
            }
            if (!diagram::DiagramFormatOf(*line.diagramPath)) {
                throw UsageError(
                    "option --diagram needs a file name ending in .svg, .png or .pdf (or none, "
                    "for SVG)");
            }
        } else if (name == "--table") {
            line.tables.push_back(takeValue());
        } else if (name == "--query") {
            line.queries.push_back(takeValue());
        } else if (name == "--form") {
            line.forms.push_back(takeValue());
        } else if (name == "--report-object") {
            line.reports.push_back(takeValue());
        } else if (name == "--macro") {
            line.macros.push_back(takeValue());
        } else if (name == "--module") {
            line.modules.push_back(takeValue());
        } else if (name == "--link-folder") {
            line.linkFolders.push_back(takeValue());
            if (line.linkFolders.back().empty()) {
                throw UsageError("option --link-folder needs a folder");
            }
        } else if (name == "--strict") {
            noValue();
            line.strict = true;
        } else if (name == "--all-switches") {
            noValue();
            line.allSwitches = true;
        } else if (name == "--json") {
            if (line.jsonPath) {
                throw UsageError("option --json is given more than once");
            }
            line.jsonPath = takeValue();
            if (line.jsonPath->empty()) {
                throw UsageError("option --json needs a file name, or - for standard output");
            }
        } else if (name == "--html") {
            if (line.htmlPath) {
                throw UsageError("option --html is given more than once");
            }
            line.htmlPath = takeValue();
            if (line.htmlPath->empty()) {
                throw UsageError("option --html needs a file name, or - for standard output");
            }
        } else if (name == "--csv-quoted") {
            noValue();
            line.csvQuoted = true;
        } else if (name == "--compare") {
            if (line.compareWith) {
                throw UsageError("option --compare is given more than once");
            }
            // OLD stays a view of the argument itself, as the positional ones are.
            if (inlineValue) {
                positional.push_back(*inlineValue);
            } else if (i + 1 < arguments.size()) {
                positional.push_back(arguments[++i]);
            }
            if (positional.empty() || i + 1 >= arguments.size()) {
                throw UsageError("option --compare needs two databases, OLD and NEW");
            }
            line.compareWith = std::string(arguments[++i]);
        } else if (name == "--export-code") {
            line.exportCodeDir = takeValue();
            if (line.exportCodeDir->empty()) {
                throw UsageError("option --export-code needs a folder");
            }
        } else if (name == "--code-encoding") {
            const std::string encoding = takeValue();
            if (encoding != "utf-8" && encoding != "UTF-8") {
                throw UsageError("option --code-encoding takes only utf-8");
            }
            line.codeUtf8 = true;
        } else if (name == "--prune") {
            noValue();
            line.prune = true;
        } else if (name == "--compare-volatile") {
            noValue();
            line.compareVolatile = true;
        } else if (name == "--all") {
            noValue();
            line.listUnchanged = true;
        } else if (name == "--password-file" || name == "--new-password-file") {
            auto& file = name == "--password-file" ? line.passwordFile : line.newPasswordFile;
            if (file) {
                throw UsageError("option " + std::string(name) + " is given more than once");
            }
            file = takeValue();
            if (file->empty()) {
                throw UsageError("option " + std::string(name) +
                                 " needs a file name, or - for standard input");
            }
        } else if (name == "--help" || name == "-h") {
            noValue();
            line.help = true;
        } else if (name == "--version") {
            noValue();
            line.version = true;
        } else {
            throw UsageError("unknown option " + std::string(name));
        }
    }

    if (line.help || line.version) {
        return line;
    }
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
    if (line.exportCodeDir &&
        (line.compareWith || line.csvPath || line.jsonPath || line.pdfPath || line.diagramPath)) {
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
    if (!line.csvPath && !line.pdfPath && !line.jsonPath && !line.htmlPath && !line.diagramPath &&
        !line.exportCodeDir) {
        line.csvPath = "-";
    }
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
