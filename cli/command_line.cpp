#include "cli/command_line.h"

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
            if (line.pdfPath->empty() || *line.pdfPath == "-") {
                throw UsageError("option --pdf needs a file name");
            }
        } else if (name == "--table") {
            line.tables.push_back(takeValue());
        } else if (name == "--query") {
            line.queries.push_back(takeValue());
        } else if (name == "--all-switches") {
            noValue();
            line.allSwitches = true;
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
    if (positional.size() > 1) {
        throw UsageError("more than one database named: " + std::string(positional[1]));
    }
    line.database = std::string(positional.front());
    if (!line.csvPath && !line.pdfPath) {
        line.csvPath = "-";
    }
    return line;
}

std::string UsageText() {
    return "Usage: ostrel2-report [OPTION]... DATABASE\n"
           "Write a report of the design of the Access database DATABASE.\n"
           "\n"
           "  --csv FILE       write the report as CSV text to FILE (\"-\": standard output,\n"
           "                   the default when no --pdf is given)\n"
           "  --pdf FILE       write the paged report, as the print preview shows it, to FILE\n"
           "  --table NAME     document table NAME (may be repeated)\n"
           "  --query NAME     document query NAME (may be repeated)\n"
           "  --all-switches   report every property, ignoring the stored report switches\n"
           "  -h, --help       show this help and exit\n"
           "      --version    show the version and exit\n"
           "\n"
           "Without --table and --query, every table whose name does not begin with\n"
           "\"MSys\" and every query is documented; with them, exactly the named objects\n"
           "(names are case-sensitive).\n"
           "\n"
           "Exit status: 0 success, 2 database does not exist, 3 CSV file cannot be\n"
           "opened, 4 any other failure, 64 the command line cannot be understood.\n";
}

std::string VersionText() {
    return std::string("ostrel2-report ") + kVersionText + "\n";
}

}  // namespace ostrel::cli
