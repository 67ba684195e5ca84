#include "engine/file_exists.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace ostrel::engine {
namespace {

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool IsHidden(const std::string& name) {
    return name.empty() || name.front() == '.';
}

// The pattern for fnmatch: only "*" and "?" are wildcards, so "[", "]" and "\"
// are made literal.
std::string LiteralPattern(const std::string& element) {
    std::string pattern;
    pattern.reserve(element.size());
    for (const char c : element) {
        if (c == '[' || c == ']' || c == '\\') {
            pattern.push_back('\\');
        }
        pattern.push_back(c);
    }
    return pattern;
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

}  // namespace

bool FileExists(const std::string& path) {
    const auto slash = path.rfind('/');
    // prefix: the folder part including its "/", so that prefix + name is a path.
    const std::string prefix =
        slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string element = slash == std::string::npos ? path : path.substr(slash + 1);
    if (IsHidden(element)) {
        return false;  // also an empty path, or one ending in "/"
    }
    if (element.find_first_of("*?") == std::string::npos) {
        return IsRegularFile(path);
    }

    const std::unique_ptr<DIR, DirCloser> dir(::opendir(prefix.empty() ? "." : prefix.c_str()));
    if (!dir) {
        return false;
    }
    const std::string pattern = LiteralPattern(element);
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (!IsHidden(name) && ::fnmatch(pattern.c_str(), name.c_str(), 0) == 0 &&
            IsRegularFile(prefix + name)) {
            return true;
        }
    }
    return false;
}

std::string WhyNoFile(const std::string& path) {
    if (path.empty()) {
        return "No file was named.";
    }
    const auto slash = path.rfind('/');
    const std::string element = slash == std::string::npos ? path : path.substr(slash + 1);
    if (element.find_first_of("*?") != std::string::npos) {
        return "No file matches this name.";
    }
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        if (errno == ENOENT) {
            return "There is no file of this name.";
        }
        std::string text = std::strerror(errno);  // NOLINT(concurrency-mt-unsafe)
        return text + ".";
    }
    if (S_ISDIR(info.st_mode)) {
        return "It is a folder, not a database file.";
    }
    if (!S_ISREG(info.st_mode)) {
        return "It is not a regular file.";
    }
    if (IsHidden(element)) {
        return "It is a hidden file (its name begins with a dot).";
    }
    return "It cannot be found.";
}

std::string DatabaseMissingMessage(const std::string& path) {
    return "Database does not exist\n\n" + (path.empty() ? std::string() : path + "\n") +
           WhyNoFile(path);
}

}  // namespace ostrel::engine
