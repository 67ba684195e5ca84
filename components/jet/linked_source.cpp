#include "components/jet/linked_source.h"

#include "components/jet/table_definition.h"

namespace ostrel::jet {
namespace {

namespace fs = std::filesystem;

bool Usable(const fs::path& candidate, const fs::path& linkingDatabase) {
    std::error_code error;
    if (!fs::is_regular_file(candidate, error)) {
        return false;
    }
    return !fs::equivalent(candidate, linkingDatabase, error) && !error;
}

// The entry of folder named name, an exact match first, else one that differs
// only in letter case.
std::optional<fs::path> FindInFolder(const fs::path& folder, const std::string& name) {
    std::error_code error;
    const fs::path exact = folder / name;
    if (fs::exists(exact, error)) {
        return exact;
    }
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (SameName(it->path().filename().string(), name)) {
            return it->path();
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<fs::path> FindLinkedDatabase(const std::string& storedPath,
                                           const fs::path& linkingDatabase,
                                           const std::vector<fs::path>& folders) {
    if (storedPath.empty()) {
        return std::nullopt;
    }
    if (Usable(storedPath, linkingDatabase)) {
        return fs::path(storedPath);
    }
    const std::size_t slash = storedPath.find_last_of("\\/");
    const std::string name = slash == std::string::npos ? storedPath : storedPath.substr(slash + 1);
    if (name.empty() || name == "." || name == "..") {
        return std::nullopt;
    }
    std::vector<fs::path> places{linkingDatabase.parent_path()};
    places.insert(places.end(), folders.begin(), folders.end());
    for (const fs::path& place : places) {
        auto found = FindInFolder(place.empty() ? fs::path(".") : place, name);
        if (found && Usable(*found, linkingDatabase)) {
            return found;
        }
    }
    return std::nullopt;
}

}  // namespace ostrel::jet
