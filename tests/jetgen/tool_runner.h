// Runs the external readers (mdbtools, node with mdb-reader) for round trips.
#pragma once

#include <filesystem>
#include <string>

namespace ostrel::jetgen::test {

struct CommandResult {
    int status = -1;
    std::string output;  // standard output only
};

std::string ShellQuote(const std::string& text);
CommandResult RunCommand(const std::string& commandLine);
bool HaveProgram(const std::string& name);

// A fresh folder under the system temp folder, removed when the test ends.
class ScratchDir {
  public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// Generates a database from description text; fails the test on error.
std::filesystem::path Generate(const ScratchDir& dir, const std::string& descriptionJson,
                               const std::string& fileName = "test.mdb");

// Installs mdb-reader into the build tree once (shared by parallel tests);
// returns false when npm or the registry is unavailable.
bool EnsureMdbReader();

// Runs the read script over a file and returns its JSON text.
CommandResult ReadWithMdbReader(const std::filesystem::path& file);

}  // namespace ostrel::jetgen::test
