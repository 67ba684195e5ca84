#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace ostrel::engine::testing {

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // Creates a file with the given bytes and returns its path.
    std::string Write(const std::string& name, const std::string& bytes) const;
    // Names of the entries in the folder, hidden ones included.
    std::vector<std::string> Entries() const;

  private:
    std::filesystem::path path_;
};

}  // namespace ostrel::engine::testing
