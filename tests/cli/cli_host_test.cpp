#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli_host.h"

namespace ostrel::cli {
namespace {

TEST(CliHost, ShowsProgressOnlyOnATerminal) {
    std::ostringstream quiet;
    CliHost batch(quiet, false);
    batch.SetStatusText(1, "Pass 1");
    batch.SetStatusText(2, "Processing database");
    batch.RepaintStatus();
    batch.EndProgress();
    EXPECT_EQ(quiet.str(), "");

    std::ostringstream terminal;
    CliHost interactive(terminal, true);
    interactive.SetStatusText(1, "Pass 2");
    interactive.SetStatusText(2, "Processing table : Orders");
    interactive.RepaintStatus();
    interactive.SetStatusText(1, "Finished processing");
    interactive.SetStatusText(2, "");
    interactive.RepaintStatus();
    interactive.EndProgress();
    interactive.EndProgress();  // a second end adds nothing
    EXPECT_EQ(terminal.str(),
              "\r\x1b[KPass 2  Processing table : Orders\r\x1b[KFinished processing\n");
}

TEST(CliHost, MessagesGoToStandardErrorOnTheirOwnLine) {
    std::ostringstream err;
    CliHost host(err, true);
    host.SetStatusText(1, "Pass 0");
    host.RepaintStatus();
    host.ShowMessage("Database does not exist", engine::MessageIcon::Exclamation, "Ostrel2");
    EXPECT_EQ(err.str(), "\r\x1b[KPass 0\nostrel2-report: Database does not exist\n");
}

}  // namespace
}  // namespace ostrel::cli
