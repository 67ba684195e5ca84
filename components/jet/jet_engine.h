#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "components/schema/database.h"

namespace ostrel::jet {

// The schema source over Access database files: Jet 3 (Access 97), Jet 4
// (Access 2000-2003) and ACE (.accdb, Access 2007 and later). Files are
// opened read-only and never written; only the design is read (header,
// catalog, table definitions, property blobs, the relationship and query
// system tables). OpenDatabase throws schema::SchemaError naming the file and
// what is wrong ("not an Access database", "damaged: ...").
//
// Encoded Jet files open as they are. ACE files with a database password
// open with the password the provider gives for them (it is asked only for
// such files, also for the sources of linked tables); without one, or with
// a wrong one, OpenDatabase throws schema::PasswordError.
//
// The tables of an Access-linked table come from its source database, which
// is looked for where the link says, beside the database, then in
// linkFolders. A source that cannot be found or read does not stop the
// database from being read: the linked table says why (LinkProblem).
class JetEngine final : public schema::SchemaEngine {
  public:
    JetEngine() = default;
    explicit JetEngine(std::vector<std::string> linkFolders)
        : linkFolders_(std::move(linkFolders)) {}
    std::unique_ptr<schema::Database> OpenDatabase(const std::string& path) override;
    void SetLinkFolders(const std::vector<std::string>& folders) override {
        linkFolders_ = folders;
    }
    void SetPasswordProvider(const schema::PasswordProvider& provider) override {
        passwords_ = provider;
    }

  private:
    std::vector<std::string> linkFolders_;
    schema::PasswordProvider passwords_;
};

// Opens a database held in memory (a copy is taken); label names it in
// messages and is what passwords is asked with. Used by tests and the fuzz
// target.
std::unique_ptr<schema::Database> OpenDatabaseFromMemory(
    std::span<const std::uint8_t> bytes, const std::string& label,
    const schema::PasswordProvider& passwords = {});

}  // namespace ostrel::jet
