#include "components/document/stream_target.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <optional>
#include <string_view>

namespace ostrel::document {
namespace {

// The descriptor a name such as /dev/stdout or /dev/fd/3 stands for.
std::optional<int> NamedDescriptor(std::string_view path) {
    if (path == "-" || path == "/dev/stdout") {
        return STDOUT_FILENO;
    }
    if (path == "/dev/stderr") {
        return STDERR_FILENO;
    }
    for (const std::string_view prefix : {"/dev/fd/", "/proc/self/fd/"}) {
        if (path.starts_with(prefix)) {
            const std::string_view digits = path.substr(prefix.size());
            int fd = -1;
            const auto [end, error] =
                std::from_chars(digits.data(), digits.data() + digits.size(), fd);
            if (error == std::errc() && end == digits.data() + digits.size() && fd >= 0) {
                return fd;
            }
        }
    }
    return std::nullopt;
}

}  // namespace

bool IsStreamTarget(const std::string& path) {
    if (NamedDescriptor(path)) {
        return true;
    }
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 &&
           (S_ISCHR(info.st_mode) || S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode));
}

int OpenStreamTarget(const std::string& path) {
    if (const auto fd = NamedDescriptor(path)) {
        return ::fcntl(*fd, F_DUPFD_CLOEXEC, 0);
    }
    // Opening a pipe waits for its reader, as the shell's redirection does.
    return ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
}

}  // namespace ostrel::document
