#include "engine/csv_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "components/document/output_error.h"
#include "components/document/stream_target.h"

namespace ostrel::engine {
namespace {

constexpr std::size_t kBufferSize = 1 << 20;

// The file a path finally names: a symbolic link is written through, so that
// the link stays and its file gets the report.
std::string ResolveTarget(const std::string& path) {
    struct stat link {};
    if (::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        if (char* real = ::realpath(path.c_str(), nullptr)) {
            std::string resolved = real;
            std::free(real);  // NOLINT(cppcoreguidelines-no-malloc)
            return resolved;
        }
    }
    return path;
}

// Says why the file cannot be opened, when the caller asked.
std::nullptr_t Refuse(std::string* reason, std::string text) {
    if (reason != nullptr) {
        *reason = std::move(text);
    }
    return nullptr;
}

// The system's reason for errno, as a sentence.
std::string ErrnoSentence() {
    std::string text = std::strerror(errno);  // NOLINT(concurrency-mt-unsafe)
    return text + ".";
}

unsigned DefaultMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666U & ~static_cast<unsigned>(mask);
}

// Standard output, a device or a pipe opened for writing; nullptr, with the
// reason in why, when it cannot be.
std::FILE* OpenStream(const std::string& targetPath, std::string& why) {
    const int fd = document::OpenStreamTarget(targetPath);
    std::FILE* file = fd < 0 ? nullptr : ::fdopen(fd, "wb");
    if (file == nullptr) {
        why = ErrnoSentence();
        if (fd >= 0) {
            ::close(fd);
        }
    }
    return file;
}

// Why a file that is there cannot be replaced, if it cannot; mode becomes
// its permissions, which its replacement keeps.
std::optional<std::string> RefusalOfTarget(const std::string& target, unsigned& mode) {
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            return "It is a folder.";
        }
        if (!S_ISREG(info.st_mode)) {
            return "It is not a regular file.";  // a device, a pipe
        }
        // A file without any write permission is read-only, also for root.
        if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
            return "The file is read-only.";
        }
        if (::access(target.c_str(), W_OK) != 0) {
            return ErrnoSentence();
        }
        mode = info.st_mode & 07777U;
    } else if (errno != ENOENT) {
        return ErrnoSentence();
    }
    return std::nullopt;
}

// Why no temporary file could be made in folder ("" for the current one),
// errno being what making it gave.
std::string RefusalOfFolder(const std::string& folder) {
    std::string where = folder.empty() ? std::string(".") : folder;
    if (where.size() > 1 && where.back() == '/') {
        where.pop_back();
    }
    const int error = errno;
    struct stat folderInfo {};
    if (::stat(where.c_str(), &folderInfo) != 0) {
        return "The folder " + where + " does not exist.";
    }
    if (!S_ISDIR(folderInfo.st_mode)) {
        return where + " is not a folder.";
    }
    errno = error;
    if (errno == EACCES || errno == EPERM || errno == EROFS) {
        return "Permission denied: no new file can be made in the folder " + where + " (" +
               std::strerror(errno) +  // NOLINT(concurrency-mt-unsafe)
               ").";
    }
    return "No new file can be made in the folder " + where + " (" +
           std::strerror(errno) +  // NOLINT(concurrency-mt-unsafe)
           ").";
}

}  // namespace

bool SameFile(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

std::unique_ptr<CsvFile> CsvFile::Open(const std::string& targetPath,
                                       const std::string& protectedPath, std::string* reason) {
    if (SameFile(targetPath, protectedPath)) {
        return Refuse(reason, "It is the database being documented.");
    }
    return Open(targetPath, reason);
}

std::unique_ptr<CsvFile> CsvFile::Open(const std::string& targetPath, std::string* reason) {
    if (targetPath.empty()) {
        return Refuse(reason, "No file name was given.");
    }
    if (targetPath.back() == '/') {
        return Refuse(reason, "It names a folder, not a file.");
    }
    if (document::IsStreamTarget(targetPath)) {
        // Standard output, a device or a pipe: written as it goes.
        std::string why;
        std::FILE* file = OpenStream(targetPath, why);
        if (file == nullptr) {
            return Refuse(reason, std::move(why));
        }
        return std::unique_ptr<CsvFile>(new CsvFile(file, {}, targetPath, 0));
    }
    const std::string target = ResolveTarget(targetPath);
    unsigned mode = DefaultMode();
    if (std::optional<std::string> why = RefusalOfTarget(target, mode)) {
        return Refuse(reason, std::move(*why));
    }

    const auto slash = target.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string pattern = folder + "." + name + ".tmp-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const int fd = ::mkostemp(buffer.data(), O_CLOEXEC);
    if (fd < 0) {
        return Refuse(reason, RefusalOfFolder(folder));
    }
    std::string temporary(buffer.data());
    std::FILE* file = ::fdopen(fd, "wb");
    if (file == nullptr) {
        std::string why = ErrnoSentence();
        ::close(fd);
        ::unlink(temporary.c_str());
        return Refuse(reason, std::move(why));
    }
    return std::unique_ptr<CsvFile>(new CsvFile(file, std::move(temporary), target, mode));
}

CsvFile::CsvFile(std::FILE* file, std::string temporaryPath, std::string targetPath, unsigned mode)
    : file_(file),
      temporaryPath_(std::move(temporaryPath)),
      targetPath_(std::move(targetPath)),
      mode_(mode) {
    std::setvbuf(file_, nullptr, _IOFBF, kBufferSize);
}

CsvFile::~CsvFile() {
    if (!committed_) {
        Discard();
    }
}

void CsvFile::Discard() noexcept {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!temporaryPath_.empty()) {
        ::unlink(temporaryPath_.c_str());
    }
}

void TextOutput::WriteLine(std::string_view text) {
    Write(text);
    Write("\r\n");
}

void StreamOutput::Write(std::string_view text) {
    out_.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!out_) {
        throw document::OutputError("-", "Standard output cannot be written.",
                                    document::OutputError::Stage::Writing);
    }
}

void StreamOutput::Commit() {
    out_.flush();
    if (!out_) {
        throw document::OutputError("-", "Standard output cannot be written.",
                                    document::OutputError::Stage::Writing);
    }
}

void CsvFile::Write(std::string_view text) {
    if (file_ == nullptr) {
        throw std::logic_error("the file is already closed");
    }
    if (!text.empty() && std::fwrite(text.data(), 1, text.size(), file_) != text.size()) {
        throw document::OutputError(targetPath_, ErrnoSentence(),
                                    document::OutputError::Stage::Writing);
    }
}

void CsvFile::Commit() {
    if (file_ == nullptr) {
        throw std::logic_error("the file is already closed");
    }
    if (temporaryPath_.empty()) {
        // A stream: what was written has gone out already.
        std::string reason;
        if (std::fflush(file_) != 0) {
            reason = ErrnoSentence();
        }
        if (std::fclose(file_) != 0 && reason.empty()) {
            reason = ErrnoSentence();
        }
        file_ = nullptr;
        committed_ = true;
        if (!reason.empty()) {
            throw document::OutputError(targetPath_, reason, document::OutputError::Stage::Writing);
        }
        return;
    }
    const int fd = ::fileno(file_);
    const auto fail = [this] {
        const std::string reason = ErrnoSentence();
        Discard();
        committed_ = true;
        throw document::OutputError(targetPath_, reason, document::OutputError::Stage::Writing);
    };
    if (std::fflush(file_) != 0 || ::fchmod(fd, mode_) != 0 || ::fsync(fd) != 0) {
        fail();
    }
    const int closed = std::fclose(file_);
    file_ = nullptr;
    if (closed != 0) {
        fail();
    }
    if (::rename(temporaryPath_.c_str(), targetPath_.c_str()) != 0) {
        fail();
    }
    committed_ = true;
}

}  // namespace ostrel::engine
