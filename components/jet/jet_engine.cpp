#include "components/jet/jet_engine.h"

#include <filesystem>

#include "components/jet/jet_database.h"
#include "components/jet/page_file.h"

namespace ostrel::jet {

std::unique_ptr<schema::Database> JetEngine::OpenDatabase(const std::string& path) {
    return std::make_unique<JetDatabase>(
        PageFile::Open(path, passwords_),
        std::vector<std::filesystem::path>(linkFolders_.begin(), linkFolders_.end()), passwords_);
}

std::unique_ptr<schema::Database> OpenDatabaseFromMemory(
    std::span<const std::uint8_t> bytes, const std::string& label,
    const schema::PasswordProvider& passwords) {
    return std::make_unique<JetDatabase>(PageFile::FromBuffer(bytes, label, passwords));
}

}  // namespace ostrel::jet
