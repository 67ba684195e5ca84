#pragma once

#include <QIODevice>
#include <memory>
#include <string>

namespace ostrel::diagram {

// A file being written by a Qt writer. A file target is written beside
// itself and put in place by Commit, so that a failed or dropped output
// leaves the earlier file as it was; a stream target (standard output as
// "-", /dev/stdout, a device, a pipe) is written as it goes.
class OutputFile {
  public:
    // Opens the target; throws document::OutputError, with the system's
    // reason, when it cannot be written.
    explicit OutputFile(const std::string& path);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    QIODevice& Device() { return *device_; }
    const std::string& Path() const { return path_; }
    // The folder a helper file may be written in, beside the target.
    QString Folder() const;
    bool IsStream() const { return stream_; }
    // Finishes the output; throws document::OutputError when it cannot.
    void Commit();

  private:
    std::string path_;
    bool stream_ = false;
    std::unique_ptr<QIODevice> device_;
};

}  // namespace ostrel::diagram
