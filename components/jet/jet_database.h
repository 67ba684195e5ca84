#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "components/jet/catalog.h"
#include "components/jet/page_file.h"
#include "components/jet/querysql/query_sql.h"
#include "components/schema/database.h"

namespace ostrel::jet {

class ApplicationStore;

// What the objects of one open database share: the file and what has been
// read of its system tables. Reading is lazy; Close releases the file and
// later reads raise SchemaError.
class DatabaseState {
  public:
    DatabaseState(std::unique_ptr<PageFile> file, std::vector<std::filesystem::path> linkFolders,
                  schema::PasswordProvider passwords = {});

    const PageFile& File() const;
    // Folders to look in for the source databases of linked tables.
    const std::vector<std::filesystem::path>& LinkFolders() const { return linkFolders_; }
    // Where the passwords of linked tables' sources come from.
    const schema::PasswordProvider& Passwords() const { return passwords_; }
    const Catalog& GetCatalog() const { return catalog_; }
    void Close() { file_.reset(); }

    // MSysQueries rows of the query with this object id, in stored order.
    std::vector<QueryRow> QueryRows(std::int32_t objectId);
    // DAO type code of a complex (ACE multi-valued or attachment) column.
    std::int16_t ComplexFieldType(std::uint32_t complexId);
    // The catalog entry of the hidden table that holds a complex column's
    // values, or nullptr.
    const CatalogEntry* ComplexValueTable(std::uint32_t complexId);

  private:
    void LoadQueryRows();
    void LoadComplexTypes();

    std::unique_ptr<PageFile> file_;
    std::vector<std::filesystem::path> linkFolders_;
    schema::PasswordProvider passwords_;
    std::string label_;
    Catalog catalog_;
    std::optional<std::map<std::int32_t, std::vector<QueryRow>>> queryRows_;
    struct ComplexColumn {
        std::int16_t daoType = 0;
        std::int32_t flatTableId = 0;
    };
    std::optional<std::map<std::uint32_t, ComplexColumn>> complexColumns_;
};

// An open Jet database with DAO's members.
class JetDatabase final : public schema::Database {
  public:
    explicit JetDatabase(std::unique_ptr<PageFile> file,
                         std::vector<std::filesystem::path> linkFolders = {},
                         schema::PasswordProvider passwords = {});
    ~JetDatabase() override;
    JetDatabase(const JetDatabase&) = delete;
    JetDatabase& operator=(const JetDatabase&) = delete;

    std::int32_t CollatingOrder() const override;
    std::string ReplicaID() const override;
    std::string Version() const override;
    bool Transactions() const override { return true; }
    bool Updatable() const override;
    const schema::Collection<schema::TableDef>& TableDefs() const override;
    const schema::Collection<schema::QueryDef>& QueryDefs() const override;
    const schema::Collection<schema::Relation>& Relations() const override;
    const schema::Collection<schema::AccessObject>& Forms() const override;
    const schema::Collection<schema::AccessObject>& Reports() const override;
    const schema::Collection<schema::AccessObject>& Macros() const override;
    const schema::Collection<schema::VbaModule>& Modules() const override;
    std::optional<std::string> ProjectProblem() const override;
    void Close() override;

  private:
    struct Members;
    ApplicationStore& Application() const;
    std::shared_ptr<DatabaseState> state_;
    std::unique_ptr<Members> members_;
};

}  // namespace ostrel::jet
