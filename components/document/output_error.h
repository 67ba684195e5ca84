#pragma once

#include <stdexcept>
#include <string>

namespace ostrel::document {

// An output of a run (its CSV, JSON or PDF file, or its diagram) cannot be
// written: the file cannot be made, or writing it failed. Front ends tell it
// apart from other failures (the batch program's exit status 3).
class OutputError : public std::runtime_error {
  public:
    // Whether the file could not be made at all, or failed while written.
    enum class Stage { Opening, Writing };

    OutputError(std::string path, std::string reason, Stage stage = Stage::Opening)
        : std::runtime_error(Describe(path, reason)),
          path_(std::move(path)),
          reason_(std::move(reason)),
          stage_(stage) {}

    const std::string& Path() const { return path_; }
    // The system's reason, as a sentence.
    const std::string& Reason() const { return reason_; }
    Stage When() const { return stage_; }

  private:
    static std::string Describe(const std::string& path, const std::string& reason) {
        return (path.empty() ? std::string("the output") : "'" + path + "'") +
               " cannot be written: " + reason;
    }

    std::string path_;
    std::string reason_;
    Stage stage_;
};

}  // namespace ostrel::document
