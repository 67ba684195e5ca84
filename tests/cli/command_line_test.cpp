#include <gtest/gtest.h>

#include "cli/command_line.h"

namespace ostrel::cli {
namespace {

CommandLine Parse(const std::vector<std::string_view>& arguments) {
    return ParseCommandLine(arguments);
}

std::string UsageErrorOf(const std::vector<std::string_view>& arguments) {
    try {
        ParseCommandLine(arguments);
    } catch (const UsageError& error) {
        return error.what();
    }
    return "(accepted)";
}

TEST(CommandLine, DatabaseAloneWritesEverythingToStandardOutput) {
    const CommandLine line = Parse({"orders.mdb"});
    EXPECT_EQ(line.database, "orders.mdb");
    EXPECT_EQ(line.csvPath, "-");
    EXPECT_FALSE(line.pdfPath.has_value());
    EXPECT_FALSE(line.NamesObjects());
    EXPECT_FALSE(line.allSwitches);
}

TEST(CommandLine, EveryOptionInBothSpellings) {
    const CommandLine line =
        Parse({"--csv", "out.csv", "--table", "Orders", "--query=Q 1", "--table=Order Details",
               "--all-switches", "db.mdb", "--query", "Q2"});
    EXPECT_EQ(line.csvPath, "out.csv");
    EXPECT_EQ(line.tables, (std::vector<std::string>{"Orders", "Order Details"}));
    EXPECT_EQ(line.queries, (std::vector<std::string>{"Q 1", "Q2"}));
    EXPECT_TRUE(line.allSwitches);
    EXPECT_EQ(line.database, "db.mdb");
    EXPECT_TRUE(line.NamesObjects());

    EXPECT_EQ(Parse({"--csv=-", "db.mdb"}).csvPath, "-");
    EXPECT_EQ(Parse({"--csv", "-", "db.mdb"}).csvPath, "-");
}

TEST(CommandLine, PdfAloneWritesNoCsv) {
    CommandLine line = Parse({"--pdf", "report.pdf", "db.mdb"});
    EXPECT_EQ(line.pdfPath, "report.pdf");
    EXPECT_FALSE(line.csvPath.has_value());
    line = Parse({"--pdf=r.pdf", "--csv", "r.csv", "db.mdb"});
    EXPECT_EQ(line.pdfPath, "r.pdf");
    EXPECT_EQ(line.csvPath, "r.csv");
}

TEST(CommandLine, DoubleDashEndsOptions) {
    const CommandLine line = Parse({"--csv", "a.csv", "--", "--odd name.mdb"});
    EXPECT_EQ(line.database, "--odd name.mdb");
    // A table name that looks like an option is still a value.
    EXPECT_EQ(Parse({"--table", "--weird", "db.mdb"}).tables,
              (std::vector<std::string>{"--weird"}));
}

TEST(CommandLine, HelpAndVersionNeedNoDatabase) {
    EXPECT_TRUE(Parse({"--help"}).help);
    EXPECT_TRUE(Parse({"-h"}).help);
    EXPECT_TRUE(Parse({"--version"}).version);
    EXPECT_EQ(VersionText(), "ostrel2-report 1.0.6\n");
    EXPECT_NE(UsageText().find("Usage: ostrel2-report"), std::string::npos);
}

TEST(CommandLine, MistakesAreExplained) {
    EXPECT_EQ(UsageErrorOf({}), "no database named");
    EXPECT_EQ(UsageErrorOf({"a.mdb", "b.mdb"}), "more than one database named: b.mdb");
    EXPECT_EQ(UsageErrorOf({"--csv"}), "option --csv needs a value");
    EXPECT_EQ(UsageErrorOf({"db.mdb", "--table"}), "option --table needs a value");
    EXPECT_EQ(UsageErrorOf({"--csv=", "db.mdb"}),
              "option --csv needs a file name, or - for standard output");
    EXPECT_EQ(UsageErrorOf({"--csv", "a", "--csv", "b", "db.mdb"}),
              "option --csv is given more than once");
    EXPECT_EQ(UsageErrorOf({"--colour", "db.mdb"}), "unknown option --colour");
    EXPECT_EQ(UsageErrorOf({"--pdf=", "db.mdb"}),
              "option --pdf needs a file name, or - for standard output");
    EXPECT_EQ(UsageErrorOf({"--diagram", "d.txt", "db.mdb"}),
              "option --diagram needs a file name ending in .svg, .png or .pdf (or none, for SVG)");
    EXPECT_EQ(UsageErrorOf({"--pdf", "a", "--pdf=b", "db.mdb"}),
              "option --pdf is given more than once");
    EXPECT_EQ(UsageErrorOf({"--all-switches=yes", "db.mdb"}),
              "option --all-switches takes no value");
    // Code export writes no report, so a report output beside it would be lost.
    EXPECT_EQ(UsageErrorOf({"--export-code", "code", "--html", "r.html", "db.mdb"}),
              "--export-code writes code files only; it takes no other output");
    EXPECT_EQ(UsageErrorOf({"--export-code=", "db.mdb"}), "option --export-code needs a folder");
}

TEST(CommandLine, StructuredOutputAndComparison) {
    CommandLine line = Parse({"--json", "-", "--csv-quoted", "--csv", "r.csv", "db.mdb"});
    EXPECT_EQ(line.jsonPath, "-");
    EXPECT_EQ(line.csvPath, "r.csv");
    EXPECT_TRUE(line.csvQuoted);
    // --json alone writes no CSV.
    EXPECT_FALSE(Parse({"--json=r.json", "db.mdb"}).csvPath.has_value());

    line = Parse({"--compare", "old.mdb", "new.mdb", "--all", "--compare-volatile"});
    EXPECT_EQ(line.database, "old.mdb");
    EXPECT_EQ(line.compareWith, "new.mdb");
    EXPECT_TRUE(line.listUnchanged);
    EXPECT_TRUE(line.compareVolatile);
    EXPECT_EQ(line.csvPath, "-");
    line = Parse({"--table", "T", "--compare=a b.mdb", "c.mdb", "--pdf", "d.pdf"});
    EXPECT_EQ(line.database, "a b.mdb");
    EXPECT_EQ(line.compareWith, "c.mdb");
    EXPECT_FALSE(line.csvPath.has_value());

    EXPECT_EQ(UsageErrorOf({"--compare", "old.mdb"}),
              "option --compare needs two databases, OLD and NEW");
    EXPECT_EQ(UsageErrorOf({"x.mdb", "--compare", "old.mdb", "new.mdb"}),
              "--compare takes the two databases; also named: old.mdb");
    EXPECT_EQ(UsageErrorOf({"--all", "db.mdb"}), "--all is for use with --compare");
    EXPECT_EQ(UsageErrorOf({"--compare-volatile", "db.mdb"}),
              "--compare-volatile is for use with --compare");
    EXPECT_EQ(UsageErrorOf({"--csv", "-", "--json", "-", "db.mdb"}),
              "only one of --csv, --json, --html, --pdf and --diagram can go to standard output");
    EXPECT_EQ(UsageErrorOf({"--pdf", "-", "--diagram", "/dev/stdout", "db.mdb"}),
              "only one of --csv, --json, --html, --pdf and --diagram can go to standard output");
    EXPECT_EQ(UsageErrorOf({"--html", "-", "--json", "-", "db.mdb"}),
              "only one of --csv, --json, --html, --pdf and --diagram can go to standard output");
    // Standard output and names without an extension are outputs like others.
    line = Parse({"--pdf", "-", "--diagram", "relations", "db.mdb"});
    EXPECT_EQ(line.pdfPath, "-");
    EXPECT_EQ(line.diagramPath, "relations");
    EXPECT_EQ(UsageErrorOf({"--csv-quoted=1", "db.mdb"}), "option --csv-quoted takes no value");
}

}  // namespace
}  // namespace ostrel::cli
