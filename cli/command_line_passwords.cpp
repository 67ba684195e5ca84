#include "cli/command_line_passwords.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "components/schema/schema_error.h"

namespace ostrel::cli {
namespace {

// A first line longer than this is not a password.
constexpr std::size_t kMaxLine = std::size_t{64} * 1024;

// Bytes that held a password, wiped when they go.
class LineBuffer {
  public:
    LineBuffer() { bytes_.reserve(kMaxLine + 1); }
    ~LineBuffer() { schema::WipeMemory(bytes_.data(), bytes_.capacity()); }
    LineBuffer(const LineBuffer&) = delete;
    LineBuffer& operator=(const LineBuffer&) = delete;

    // Reads from fd up to the first line end or the end of input. Returns
    // false when nothing at all could be read (end of input at once).
    bool ReadLine(int fd, const std::string& what) {
        std::array<char, 1> c{};
        bool any = false;
        while (true) {
            const ssize_t got = ::read(fd, c.data(), 1);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got < 0) {
                throw std::runtime_error("cannot read " + what + ": " + std::strerror(errno));
            }
            if (got == 0 || c[0] == '\n') {
                any = any || got > 0;
                break;
            }
            any = true;
            if (bytes_.size() == kMaxLine) {
                schema::WipeMemory(c.data(), c.size());
                throw std::runtime_error("the first line of " + what + " is longer than " +
                                         std::to_string(kMaxLine) + " bytes");
            }
            bytes_.push_back(c[0]);
        }
        schema::WipeMemory(c.data(), c.size());
        if (!bytes_.empty() && bytes_.back() == '\r') {
            bytes_.pop_back();
        }
        return any;
    }
    schema::Password Take() const { return schema::Password({bytes_.data(), bytes_.size()}); }

  private:
    std::vector<char> bytes_;
};

// The terminal's settings before echo was turned off, for the signal
// handler: a user who presses Ctrl-C at the prompt gets the echo back.
termios savedTerminal{};

void RestoreTerminalAndDie(int signal) {
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &savedTerminal);
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

constexpr std::array<int, 4> kEndingSignals = {SIGINT, SIGTERM, SIGQUIT, SIGHUP};

// Turns the terminal's echo off, and back on when it goes or when a signal
// ends the program meanwhile.
class EchoOff {
  public:
    EchoOff() {
        if (::tcgetattr(STDIN_FILENO, &saved_) != 0) {
            return;
        }
        savedTerminal = saved_;
        struct sigaction restore {};
        restore.sa_handler = RestoreTerminalAndDie;
        sigemptyset(&restore.sa_mask);
        for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
            ::sigaction(kEndingSignals[i], &restore, &previous_[i]);
        }
        handling_ = true;
        termios quiet = saved_;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        quiet.c_lflag |= ECHONL;
        active_ = ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
    }
    ~EchoOff() {
        if (active_) {
            ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_);
        }
        for (std::size_t i = 0; handling_ && i < kEndingSignals.size(); ++i) {
            ::sigaction(kEndingSignals[i], &previous_[i], nullptr);
        }
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

  private:
    termios saved_{};
    std::array<struct sigaction, 4> previous_{};
    bool handling_ = false;
    bool active_ = false;
};

}  // namespace

schema::Password ReadPasswordFile(const std::string& file) {
    const bool standardInput = file == "-";
    const std::string what =
        standardInput ? "the password from standard input" : "the password file " + file;
    const int fd = standardInput ? STDIN_FILENO : ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        throw std::runtime_error("cannot open " + what + ": " + std::strerror(errno));
    }
    LineBuffer line;
    try {
        line.ReadLine(fd, what);
    } catch (...) {
        if (!standardInput) {
            ::close(fd);
        }
        throw;
    }
    if (!standardInput) {
        ::close(fd);
    }
    return line.Take();
}

std::optional<schema::Password> AskAtTerminal(const std::string& path) {
    const std::string prompt = "Password for " + path + ": ";
    (void)!::write(STDERR_FILENO, prompt.data(), prompt.size());
    LineBuffer line;
    bool answered = false;
    {
        const EchoOff quiet;
        answered = line.ReadLine(STDIN_FILENO, "the password from the terminal");
    }
    if (!answered) {
        (void)!::write(STDERR_FILENO, "\n", 1);
        return std::nullopt;
    }
    return line.Take();
}

CommandLinePasswords::CommandLinePasswords(const CommandLine& line, TerminalPrompt prompt)
    : database_(line.database),
      newDatabase_(line.compareWith),
      passwordFile_(line.passwordFile),
      newPasswordFile_(line.newPasswordFile),
      prompt_(std::move(prompt)) {}

schema::PasswordProvider CommandLinePasswords::Provider() {
    return [this](const std::string& path) { return For(path); };
}

std::optional<schema::Password> CommandLinePasswords::For(const std::string& path) {
    if (const auto it = known_.find(path); it != known_.end()) {
        return it->second.Copy();
    }
    const bool isNew = newDatabase_ && path == *newDatabase_ && path != database_;
    const bool isOld = path == database_;
    const std::optional<std::string>& file = isNew ? newPasswordFile_ : passwordFile_;
    const char* option = isNew ? "--new-password-file" : "--password-file";
    // A file named for this database is read, unless it is standard input
    // and that is the terminal, which is asked without echo instead.
    const bool fromFile = (isOld || isNew) && file && !(*file == "-" && prompt_);
    std::optional<schema::Password> password;
    if (fromFile) {
        try {
            password = ReadPasswordFile(*file);
        } catch (const std::runtime_error& e) {
            throw schema::PasswordError(schema::PasswordError::Reason::Missing, path,
                                        path + ": " + e.what());
        }
    } else if (prompt_) {
        password = prompt_(path);
    }
    if (!password) {
        std::string message = schema::MissingPasswordMessage(path);
        if (isOld || isNew) {
            message += std::string("; give it with ") + option +
                       " FILE (the password on its first line, - for standard input)";
        }
        throw schema::PasswordError(schema::PasswordError::Reason::Missing, path, message);
    }
    known_.emplace(path, password->Copy());
    return password;
}

}  // namespace ostrel::cli
