// Encrypted databases through the batch program: every way of giving a
// password, wrong and missing ones, comparisons of two encrypted files, the
// prompt at a terminal, and what the run writes to disk.

#include <gtest/gtest.h>

#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/cli/program_runner.h"
#include "tests/support/encrypted_copies.h"

namespace ostrel::cli::test {
namespace {

namespace fs = std::filesystem;
using testsupport::AceForm;

const std::string kSample = OSTREL_SOURCE_DIR "/samples/sample-business.mdb";
const std::string kPassword = "Geheim \xC3\xBC 9";  // "Geheim ü 9"
const std::u16string kPassword16 = u"Geheim \u00FC 9";

// A folder of its own, removed with what it holds.
class Folder {
  public:
    Folder() {
        std::string pattern = (fs::temp_directory_path() / "ostrel2-password-test-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
    }
    ~Folder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    const fs::path& Path() const { return path_; }

  private:
    fs::path path_;
};

void Write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

void Write(const std::string& path, const testsupport::FileBytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),  // NOLINT
               static_cast<std::streamsize>(bytes.size()));
}

// The report without the lines that name the file and the time.
std::string WithoutTitle(const std::string& report) {
    static const std::regex title(
        "(Report produced|On contents of|Old database|New database) "
        ":[^\r\n]*");
    return std::regex_replace(report, title, "");
}

// The databases the tests use: the sample as an ACE file, plain and with a
// password (agile and RC4 CryptoAPI), and as an encoded Jet file.
struct Databases {
    Folder folder;
    std::string plainAce = folder / "plain.accdb";
    std::string agile = folder / "agile.accdb";
    std::string rc4 = folder / "rc4.accdb";
    std::string encoded = folder / "encoded.mdb";

    Databases() {
        // The source of the sample's linked table, found beside it.
        fs::copy_file(OSTREL_SOURCE_DIR "/samples/HarbourArchive.mdb",
                      folder / "HarbourArchive.mdb");
        const auto jet = testsupport::ReadFileBytes(kSample);
        const auto ace = testsupport::AsAceFile(jet);
        Write(plainAce, ace);
        Write(agile, testsupport::EncryptedAceCopy(ace, AceForm::AgileSha512Aes256, kPassword16));
        Write(rc4, testsupport::EncryptedAceCopy(ace, AceForm::Rc4CryptoApi40, u"other"));
        Write(encoded, testsupport::EncodedJetCopy(jet, 0x0BADF00D));
    }
};

const Databases& Shared() {
    static const Databases databases;
    return databases;
}

TEST(ProgramPasswords, EveryWayOfGivingThePassword) {
    const Databases& d = Shared();
    const ProgramResult plain = RunProgram({"--all-switches", d.plainAce}, {}, "/dev/null");
    ASSERT_EQ(plain.status, 0) << plain.err;
    const std::string expected = WithoutTitle(plain.out);
    const Folder files;

    struct Case {
        const char* what;
        std::string fileText;  // the password file's bytes
        bool fromStandardInput;
    };
    // Line ends and further lines: see the unit tests of the password file.
    const std::vector<Case> cases = {
        {"password file", kPassword + "\r\nsecond\r\n", false},
        {"standard input", kPassword + "\n", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string file = files / "password.txt";
        Write(file, c.fileText);
        const ProgramResult result =
            c.fromStandardInput
                ? RunProgram({"--all-switches", "--password-file", "-", d.agile}, {}, file)
                : RunProgram({"--all-switches", "--password-file=" + file, d.agile}, {},
                             "/dev/null");
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(WithoutTitle(result.out), expected);
    }

    // An encoded Jet file needs no password, and a password file that is
    // not needed is not read.
    const ProgramResult jet = RunProgram({"--all-switches", kSample}, {}, "/dev/null");
    const ProgramResult encoded = RunProgram(
        {"--all-switches", "--password-file", "/nonexistent/password", d.encoded}, {}, "/dev/null");
    ASSERT_EQ(encoded.status, 0) << encoded.err;
    EXPECT_EQ(WithoutTitle(encoded.out), WithoutTitle(jet.out));
}

TEST(ProgramPasswords, WrongAndMissingPasswordsExitWithFour) {
    const Databases& d = Shared();
    const Folder files;
    const std::string wrong = files / "wrong.txt";
    Write(wrong, "geheim \xC3\xBC 9\n");
    const std::string empty = files / "empty.txt";
    Write(empty, "");
    const std::string latin1 = files / "latin1.txt";
    Write(latin1, "Geheim \xFC 9\n");

    struct Case {
        const char* what;
        std::vector<std::string> arguments;
        std::string message;  // the whole of standard error
    };
    const std::string program = "ostrel2-report: ";
    const std::vector<Case> cases = {
        {"wrong password",
         {"--password-file", wrong, d.agile},
         program + "wrong password for " + d.agile + "\n"},
        {"empty password file",
         {"--password-file", empty, d.agile},
         program + "wrong password for " + d.agile + "\n"},
        {"password not in UTF-8",
         {"--password-file", latin1, d.agile},
         program + "wrong password for " + d.agile + ": the password is not UTF-8 text\n"},
        {"no password",
         {d.agile},
         program + d.agile +
             ": the database is encrypted with a password, and no password was given; give it "
             "with --password-file FILE (the password on its first line, - for standard "
             "input)\n"},
        {"password file missing",
         {"--password-file", files / "none.txt", d.agile},
         program + d.agile + ": cannot open the password file " + (files / "none.txt") +
             ": No such file or directory\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> arguments = c.arguments;
        arguments.insert(arguments.begin(), {"--csv", files / "report.csv"});
        const ProgramResult result = RunProgram(arguments, {}, "/dev/null");
        EXPECT_EQ(result.status, 4);
        EXPECT_EQ(result.err, c.message);
        EXPECT_FALSE(fs::exists(files / "report.csv")) << "a failed run leaves no report";
    }
}

TEST(ProgramPasswords, ComparisonTakesOnePasswordForEachDatabase) {
    const Databases& d = Shared();
    const Folder files;
    const std::string oldPassword = files / "old.txt";
    Write(oldPassword, kPassword + "\n");
    const std::string newPassword = files / "new.txt";
    Write(newPassword, "other\n");

    // The same design under two passwords: no differences.
    ProgramResult result = RunProgram({"--csv", "-", "--password-file", oldPassword,
                                       "--new-password-file", "-", "--compare", d.agile, d.rc4},
                                      {}, newPassword);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("No differences"), std::string::npos);

    // NEW's password is missing: the message says which file and which option.
    result = RunProgram({"--csv", "-", "--password-file", oldPassword, "--compare", d.agile, d.rc4},
                        {}, "/dev/null");
    EXPECT_EQ(result.status, 4);
    EXPECT_NE(result.err.find("new database"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find(d.rc4 + ": the database is encrypted with a password"),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("--new-password-file"), std::string::npos) << result.err;

    // OLD's password given for NEW does not open it.
    result = RunProgram({"--csv", "-", "--password-file", oldPassword, "--new-password-file",
                         oldPassword, "--compare", d.agile, d.rc4},
                        {}, "/dev/null");
    EXPECT_EQ(result.status, 4);
    EXPECT_NE(result.err.find("wrong password for " + d.rc4), std::string::npos) << result.err;

    result = RunProgram(
        {"--password-file", "-", "--new-password-file", "-", "--compare", d.agile, d.rc4}, {},
        "/dev/null");
    EXPECT_EQ(result.status, 64);
}

// Runs the program on a pseudo-terminal, answers the password prompt with
// answer (as typed, ending in a line end, Ctrl-D or Ctrl-C) and returns what
// the terminal showed; status gets the exit status (-1 when a signal ended
// the program), echoes whether the terminal echoes afterwards.
std::string RunAtTerminal(const std::vector<std::string>& arguments, const std::string& answer,
                          int& status, bool* echoes = nullptr) {
    std::vector<std::string> argv = {OSTREL_REPORT_PROGRAM};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    int terminal = -1;
    const pid_t child = ::forkpty(&terminal, nullptr, nullptr, nullptr);
    if (child == 0) {
        std::vector<char*> pointers;
        for (std::string& a : argv) {
            pointers.push_back(a.data());
        }
        pointers.push_back(nullptr);
        ::execv(pointers[0], pointers.data());
        ::_exit(127);
    }
    std::string shown;
    bool answered = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p{terminal, POLLIN, 0};
        if (::poll(&p, 1, 200) <= 0) {
            continue;
        }
        char buffer[1024];
        const ssize_t got = ::read(terminal, buffer, sizeof buffer);
        if (got <= 0) {
            break;  // the program has ended (EIO on Linux)
        }
        shown.append(buffer, static_cast<std::size_t>(got));
        if (!answered && shown.find("Password for ") != std::string::npos &&
            shown.find(": ", shown.find("Password for ")) != std::string::npos) {
            // Give the program a moment to turn echo off before typing.
            ::usleep(100'000);
            (void)!::write(terminal, answer.data(), answer.size());
            answered = true;
        }
    }
    int wait = 0;
    if (::waitpid(child, &wait, WNOHANG) == 0) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &wait, 0);
    }
    termios settings{};
    if (echoes != nullptr) {
        *echoes = ::tcgetattr(terminal, &settings) == 0 && (settings.c_lflag & ECHO) != 0;
    }
    ::close(terminal);
    status = WIFEXITED(wait) ? WEXITSTATUS(wait) : -1;
    return shown;
}

TEST(ProgramPasswords, TerminalIsAskedWithoutEcho) {
    const Databases& d = Shared();
    const Folder files;
    const std::string report = files / "report.csv";
    int status = -1;
    std::string shown = RunAtTerminal({"--csv", report, d.agile}, kPassword + "\n", status);
    EXPECT_EQ(status, 0) << shown;
    EXPECT_NE(shown.find("Password for " + d.agile + ": "), std::string::npos) << shown;
    EXPECT_EQ(shown.find("Geheim"), std::string::npos) << "the password was echoed: " << shown;
    EXPECT_TRUE(fs::exists(report));

    shown = RunAtTerminal({"--csv", files / "wrong.csv", d.agile}, "nope\n", status);
    EXPECT_EQ(status, 4) << shown;
    EXPECT_NE(shown.find("wrong password for " + d.agile), std::string::npos) << shown;

    // Ctrl-D: no password given.
    shown = RunAtTerminal({"--csv", files / "none.csv", d.agile}, "\x04", status);
    EXPECT_EQ(status, 4) << shown;
    EXPECT_NE(shown.find("no password was given"), std::string::npos) << shown;

    // Ctrl-C ends the program, and the terminal echoes again.
    bool echoes = false;
    shown = RunAtTerminal({"--csv", files / "stopped.csv", d.agile}, "\x03", status, &echoes);
    EXPECT_EQ(status, -1) << shown;
    EXPECT_TRUE(echoes) << "the terminal was left without echo";
}

// The files a run opened for writing, made or renamed, as strace logged them.
std::set<std::string> WrittenPaths(const std::string& log) {
    std::set<std::string> paths;
    std::ifstream in(log);
    static const std::regex opened(R"re((?:open|openat|creat)\(.*?"([^"]+)", ([^)]*)\) = \d)re");
    static const std::regex named(
        R"re((?:mkdir|mkdirat|rename|renameat2?|link|linkat)\(.*"([^"]+)".*\) = 0)re");
    for (std::string line; std::getline(in, line);) {
        std::smatch m;
        if (std::regex_search(line, m, opened)) {
            const std::string flags = m[2];
            if (flags.find("O_WRONLY") != std::string::npos ||
                flags.find("O_RDWR") != std::string::npos ||
                flags.find("O_CREAT") != std::string::npos) {
                paths.insert(m[1]);
            }
        } else if (std::regex_search(line, m, named)) {
            paths.insert(m[1]);
        }
    }
    return paths;
}

// With TMPDIR set to an empty folder, a run leaves nothing there; traced,
// it writes nothing but its report (and the report's own temporary copy
// beside its target).
TEST(ProgramPasswords, NothingDecryptedReachesTheDisk) {
    const Databases& d = Shared();
    const Folder temporary;
    const Folder outputs;
    const std::string passwordFile = outputs / "password.txt";
    Write(passwordFile, kPassword + "\n");
    // Traced where strace is installed and may trace (containers can forbid it).
    const bool strace = std::system("strace -f -qq -o /dev/null true >/dev/null 2>&1") == 0;
    const std::string log = outputs / "trace.log";
    const std::string environment =
        "TMPDIR=" + Quoted(temporary.Path().string()) + " " +
        (strace ? "strace -f -qq -o " + Quoted(log) + " -e trace=%file " : "");
    struct Case {
        const char* what;
        std::vector<std::string> arguments;
        std::string target;  // the report file, when not standard output
    };
    const std::vector<Case> cases = {
        {"CSV to standard output", {"--csv", "-", d.agile}, ""},
        {"JSON to standard output", {"--json", "-", d.agile}, ""},
        {"CSV file", {"--csv", outputs / "report.csv", d.agile}, outputs / "report.csv"},
        {"encoded Jet file", {"--csv", "-", d.encoded}, ""},
        {"comparison",
         {"--csv", "-", "--new-password-file", passwordFile, "--compare", d.encoded, d.agile},
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> arguments = c.arguments;
        arguments.insert(arguments.begin(), {"--password-file", passwordFile});
        const ProgramResult result = RunProgram(arguments, environment, "/dev/null");
        EXPECT_LE(result.status, 1) << result.err;
        EXPECT_TRUE(fs::is_empty(temporary.Path())) << "left in TMPDIR";
        if (!strace) {
            continue;
        }
        const std::set<std::string> written = WrittenPaths(log);
        // The trace shows the report being written where it should be; one
        // bound for standard output is written there directly.
        if (!c.target.empty()) {
            EXPECT_EQ(written.count(c.target), 1U);
        }
        for (const std::string& path : written) {
            const fs::path p(path);
            const bool target =
                !c.target.empty() && p.parent_path() == fs::path(c.target).parent_path() &&
                (p == fs::path(c.target) || p.filename().string().starts_with(".report.csv.tmp-") ||
                 p.filename().string().starts_with(".report.tmp-"));
            const bool device = path.starts_with("/dev/");
            EXPECT_TRUE(target || device) << "wrote " << path;
        }
    }
}

}  // namespace
}  // namespace ostrel::cli::test
