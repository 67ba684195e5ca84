#pragma once

#include <cstdio>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

namespace ostrel::engine {

// Where CSV report lines go. Each line is written with CR LF after it.
class LineSink {
  public:
    virtual ~LineSink() = default;
    // Throws std::runtime_error when the line cannot be written.
    virtual void WriteLine(std::string_view text) = 0;

  protected:
    LineSink() = default;
    LineSink(const LineSink&) = default;
    LineSink& operator=(const LineSink&) = default;
};

// The text of a CSV or JSON output. Write and WriteLine throw
// document::OutputError when the text cannot be written; Commit finishes the
// output, throwing the same.
class TextOutput : public LineSink {
  public:
    virtual void Write(std::string_view text) = 0;
    void WriteLine(std::string_view text) override;
    virtual void Commit() = 0;
};

// Standard output given as a stream: written as the report is made.
class StreamOutput final : public TextOutput {
  public:
    explicit StreamOutput(std::ostream& out) : out_(out) {}
    void Write(std::string_view text) override;
    void Commit() override;

  private:
    std::ostream& out_;
};

// Whether two paths name the same existing file.
bool SameFile(const std::string& a, const std::string& b);

// A CSV report file that replaces its target only when the report is complete.
// Lines go to a temporary file in the target's folder; Commit moves it over the
// target. Until then the target is untouched, and a file that is destroyed
// without Commit removes its temporary file.
class CsvFile final : public TextOutput {
  public:
    // Opens the temporary file for a target that can be written: not empty, in
    // a folder that exists and takes new files, not a folder itself, not a
    // read-only file. Returns nullptr otherwise, with the reason in *reason
    // (one sentence, as the system gave it) when reason is given; nothing is
    // then created.
    static std::unique_ptr<CsvFile> Open(const std::string& targetPath,
                                         std::string* reason = nullptr);
    // As above, and refuses a target that is the file named by protectedPath
    // (the database being documented, which is open and must not be replaced).
    static std::unique_ptr<CsvFile> Open(const std::string& targetPath,
                                         const std::string& protectedPath,
                                         std::string* reason = nullptr);

    ~CsvFile() override;
    CsvFile(const CsvFile&) = delete;
    CsvFile& operator=(const CsvFile&) = delete;

    // Writes text as it is, without a line end.
    void Write(std::string_view text) override;
    // Flushes the file to disk and moves it over the target. Throws
    // document::OutputError (and leaves the target as it was) when it cannot.
    void Commit() override;

    const std::string& TemporaryPath() const { return temporaryPath_; }

  private:
    CsvFile(std::FILE* file, std::string temporaryPath, std::string targetPath, unsigned mode);
    void Discard() noexcept;

    std::FILE* file_;
    std::string temporaryPath_;
    std::string targetPath_;
    unsigned mode_;
    bool committed_ = false;
};

}  // namespace ostrel::engine
