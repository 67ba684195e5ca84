#include "components/diagram/output_file.h"

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>

#include "components/document/output_error.h"
#include "components/document/stream_target.h"

namespace ostrel::diagram {
namespace {

document::OutputError CannotWrite(
    const std::string& path, const std::string& reason,
    document::OutputError::Stage stage = document::OutputError::Stage::Opening) {
    return {path, reason, stage};
}

}  // namespace

OutputFile::OutputFile(const std::string& path)
    : path_(path), stream_(document::IsStreamTarget(path)) {
    if (stream_) {
        const int fd = document::OpenStreamTarget(path);
        if (fd < 0) {
            throw CannotWrite(path, std::strerror(errno));  // NOLINT(concurrency-mt-unsafe)
        }
        auto file = std::make_unique<QFile>();
        if (!file->open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
            ::close(fd);
            throw CannotWrite(path, file->errorString().toStdString());
        }
        device_ = std::move(file);
        return;
    }
    auto file = std::make_unique<QSaveFile>(QString::fromStdString(path));
    if (!file->open(QIODevice::WriteOnly)) {
        throw CannotWrite(path, file->errorString().toStdString());
    }
    device_ = std::move(file);
}

OutputFile::~OutputFile() {
    if (auto* file = qobject_cast<QSaveFile*>(device_.get())) {
        file->cancelWriting();
    }
}

QString OutputFile::Folder() const {
    if (stream_) {
        return QDir::tempPath();
    }
    return QFileInfo(static_cast<QSaveFile&>(*device_).fileName()).absolutePath();
}

void OutputFile::Commit() {
    if (auto* file = qobject_cast<QSaveFile*>(device_.get())) {
        if (!file->commit()) {
            throw CannotWrite(path_, file->errorString().toStdString(),
                              document::OutputError::Stage::Writing);
        }
        return;
    }
    auto& file = static_cast<QFile&>(*device_);
    if (!file.flush()) {
        throw CannotWrite(path_, file.errorString().toStdString(),
                          document::OutputError::Stage::Writing);
    }
    file.close();
}

}  // namespace ostrel::diagram
