#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "components/schema/access_object.h"
#include "components/schema/collection.h"
#include "components/schema/password.h"
#include "components/schema/query_def.h"
#include "components/schema/relation.h"
#include "components/schema/table_def.h"
#include "components/schema/vba_module.h"

namespace ostrel::schema {

// An open database, with DAO's members. It is read only: nothing the program
// does through it changes the file.
class Database {
  public:
    virtual ~Database() = default;
    virtual std::int32_t CollatingOrder() const = 0;
    virtual std::string ReplicaID() const = 0;
    virtual std::string Version() const = 0;
    virtual bool Transactions() const = 0;
    virtual bool Updatable() const = 0;
    virtual const Collection<TableDef>& TableDefs() const = 0;
    virtual const Collection<QueryDef>& QueryDefs() const = 0;
    virtual const Collection<Relation>& Relations() const = 0;
    // The application: forms, reports and macros in the order DAO's Documents
    // lists them, and the modules of the VBA project. Sources without them
    // have none.
    virtual const Collection<AccessObject>& Forms() const;
    virtual const Collection<AccessObject>& Reports() const;
    virtual const Collection<AccessObject>& Macros() const;
    virtual const Collection<VbaModule>& Modules() const;
    // Why the VBA project could not be read as a whole, as a sentence (its
    // modules then say so too, where they are known); nothing when it was read
    // or there is none.
    virtual std::optional<std::string> ProjectProblem() const { return std::nullopt; }
    // Releases the file. Members must not be used afterwards.
    virtual void Close() = 0;

  protected:
    Database() = default;
    Database(const Database&) = default;
    Database& operator=(const Database&) = default;
};

// Closes the database, if there is one, and drops it, swallowing any error in
// closing: for places that let go of a file after another error, or while
// replacing or dropping it, where closing only releases the file and there is
// nothing more to report.
void CloseQuietly(std::unique_ptr<Database>& database) noexcept;

// The engine that opens databases (DAO's DBEngine). OpenDatabase throws
// SchemaError with a message naming the file and what is wrong with it.
class SchemaEngine {
  public:
    virtual ~SchemaEngine() = default;
    virtual std::unique_ptr<Database> OpenDatabase(const std::string& path) = 0;
    // Folders where the source databases of linked tables are looked for, in
    // databases opened from now on. Engines without linked tables ignore it.
    virtual void SetLinkFolders(const std::vector<std::string>& folders) { (void)folders; }
    // Asked for a password when a database opened from now on needs one
    // (and only then). Without a provider such a database fails to open with
    // PasswordError. Engines without encrypted files ignore it.
    virtual void SetPasswordProvider(const PasswordProvider& provider) { (void)provider; }

  protected:
    SchemaEngine() = default;
    SchemaEngine(const SchemaEngine&) = default;
    SchemaEngine& operator=(const SchemaEngine&) = default;
};

}  // namespace ostrel::schema
