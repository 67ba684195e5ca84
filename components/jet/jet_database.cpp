#include "components/jet/jet_database.h"

#include <algorithm>

#include "components/jet/application_objects.h"
#include "components/jet/application_store.h"
#include "components/jet/jet_objects.h"
#include "components/jet/property_maps.h"
#include "components/jet/row_reader.h"
#include "components/schema/schema_error.h"

namespace ostrel::jet {
namespace {

constexpr std::int32_t kDatabasesContainerId = 0x0F000002;

// DAO type codes of ACE complex columns, by the name of the template table
// the column's complex type refers to.
struct ComplexTemplate {
    const char* suffix;
    std::int16_t daoType;
};
constexpr ComplexTemplate kComplexTemplates[] = {
    {"Attachment", schema::data_type::kAttachment},
    {"UnsignedByte", schema::data_type::kComplexByte},
    {"Short", schema::data_type::kComplexInteger},
    {"Long", schema::data_type::kComplexLong},
    {"IEEESingle", schema::data_type::kComplexSingle},
    {"IEEEDouble", schema::data_type::kComplexDouble},
    {"GUID", schema::data_type::kComplexGuid},
    {"Decimal", schema::data_type::kComplexDecimal},
    {"Text", schema::data_type::kComplexText},
};
constexpr char kComplexTemplatePrefix[] = "MSysComplexType_";
// The hidden column that keeps the history of an append-only Long Text field
// refers to a template of its own. DAO's DataTypeEnum has no code for it (no
// multi-valued Memo); its values are Long Text, so it is reported as Memo.
constexpr char kVersionHistoryTemplatePrefix[] = "MSysComplexTypeVH_";
// Complex columns of a template not listed here keep Jet's complex type code.
constexpr std::int16_t kUnknownComplexType = 0x12;

}  // namespace

DatabaseState::DatabaseState(std::unique_ptr<PageFile> file,
                             std::vector<std::filesystem::path> linkFolders,
                             schema::PasswordProvider passwords)
    : file_(std::move(file)),
      linkFolders_(std::move(linkFolders)),
      passwords_(std::move(passwords)),
      label_(file_->Label()),
      catalog_(ReadCatalog(*file_)) {}

const PageFile& DatabaseState::File() const {
    if (!file_) {
        throw schema::SchemaError(label_ + ": the database is closed");
    }
    return *file_;
}

// Rows are collected completely before they are kept, so that a damaged
// table fails every later read the same way instead of leaving part of it.
void DatabaseState::LoadQueryRows() {
    std::map<std::int32_t, std::vector<QueryRow>> rows;
    ForEachSystemRow(File(), catalog_, "MSysQueries", "queries (MSysQueries)",
                     [&](const RowView& row) {
                         QueryRow q;
                         q.attribute = static_cast<std::uint8_t>(row.Int("Attribute").value_or(0));
                         q.expression = row.Text("Expression");
                         if (const auto flag = row.Int("Flag")) {
                             q.flag = static_cast<std::int16_t>(*flag);
                         }
                         q.name1 = row.Text("Name1");
                         q.name2 = row.Text("Name2");
                         if (const auto extra = row.Int("LvExtra")) {
                             q.lvExtra = static_cast<std::int32_t>(*extra);
                         }
                         q.objectId = static_cast<std::int32_t>(row.Int("ObjectId").value_or(0));
                         q.order = row.Binary("Order").value_or(std::vector<std::uint8_t>{});
                         rows[q.objectId].push_back(std::move(q));
                     });
    queryRows_ = std::move(rows);
}

std::vector<QueryRow> DatabaseState::QueryRows(std::int32_t objectId) {
    if (!queryRows_) {
        LoadQueryRows();
    }
    const auto it = queryRows_->find(objectId);
    return it != queryRows_->end() ? it->second : std::vector<QueryRow>{};
}

void DatabaseState::LoadComplexTypes() {
    std::map<std::uint32_t, ComplexColumn> columns;
    ForEachSystemRow(File(), catalog_, "MSysComplexColumns", "complex columns (MSysComplexColumns)",
                     [&](const RowView& row) {
                         const auto id = row.Int("ComplexID");
                         const auto templateId = row.Int("ComplexTypeObjectID");
                         const auto flatTableId = row.Int("FlatTableID");
                         if (!id || !templateId) {
                             return;
                         }
                         std::int16_t type = kUnknownComplexType;
                         const CatalogEntry* templateEntry =
                             catalog_.FindById(static_cast<std::int32_t>(*templateId));
                         if (templateEntry != nullptr &&
                             templateEntry->name.starts_with(kVersionHistoryTemplatePrefix)) {
                             type = schema::data_type::kMemo;
                         } else if (templateEntry != nullptr &&
                                    templateEntry->name.starts_with(kComplexTemplatePrefix)) {
                             const std::string suffix =
                                 templateEntry->name.substr(sizeof kComplexTemplatePrefix - 1);
                             for (const ComplexTemplate& t : kComplexTemplates) {
                                 if (SameName(suffix, t.suffix)) {
                                     type = t.daoType;
                                 }
                             }
                         }
                         columns[static_cast<std::uint32_t>(*id)] = ComplexColumn{
                             type, static_cast<std::int32_t>(flatTableId.value_or(0))};
                     });
    complexColumns_ = std::move(columns);
}

std::int16_t DatabaseState::ComplexFieldType(std::uint32_t complexId) {
    if (!complexColumns_) {
        LoadComplexTypes();
    }
    const auto it = complexColumns_->find(complexId);
    return it != complexColumns_->end() ? it->second.daoType : kUnknownComplexType;
}

const CatalogEntry* DatabaseState::ComplexValueTable(std::uint32_t complexId) {
    if (!complexColumns_) {
        LoadComplexTypes();
    }
    const auto it = complexColumns_->find(complexId);
    return it != complexColumns_->end() ? catalog_.FindById(it->second.flatTableId) : nullptr;
}

struct JetDatabase::Members {
    OwningCollection<schema::TableDef, JetTableDef> tables;
    OwningCollection<schema::QueryDef, JetQueryDef> queries;
    std::optional<OwningCollection<schema::Relation, JetRelation>> relations;
    // The application is read only when one of its parts is asked for.
    std::shared_ptr<ApplicationStore> application;
    using Objects = OwningCollection<schema::AccessObject, JetAccessObject>;
    std::optional<Objects> forms;
    std::optional<Objects> reports;
    std::optional<Objects> macros;
    std::optional<OwningCollection<schema::VbaModule, JetVbaModule>> modules;
};

JetDatabase::JetDatabase(std::unique_ptr<PageFile> file,
                         std::vector<std::filesystem::path> linkFolders,
                         schema::PasswordProvider passwords)
    : state_(std::make_shared<DatabaseState>(std::move(file), std::move(linkFolders),
                                             std::move(passwords))),
      members_(std::make_unique<Members>()) {
    const Catalog& catalog = state_->GetCatalog();
    const std::int32_t tables = catalog.TablesContainerId();
    for (const CatalogEntry& e : catalog.entries) {
        if (e.parentId != tables) {
            continue;
        }
        if (e.type == object_type::kTable || e.type == object_type::kOdbcLink ||
            e.type == object_type::kAccessLink) {
            members_->tables.Add(std::make_unique<JetTableDef>(state_, e));
        } else if (e.type == object_type::kQuery) {
            members_->queries.Add(std::make_unique<JetQueryDef>(state_, e));
        }
    }
    SortByName(members_->tables.Items());
    SortByName(members_->queries.Items());
}

JetDatabase::~JetDatabase() = default;

std::int32_t JetDatabase::CollatingOrder() const {
    return state_->File().SortOrder();
}

std::string JetDatabase::ReplicaID() const {
    const PageFile& file = state_->File();
    const CatalogEntry* db = state_->GetCatalog().Find(kDatabasesContainerId, "MSysDb");
    if (db == nullptr || !db->storedProperties) {
        return {};
    }
    const PropertyMaps maps =
        PropertyMaps::ReadStored(file, db->storedProperties, "database properties");
    const PropertyMap* map = maps.Object();
    if (map == nullptr) {
        return {};
    }
    return PropertyText(file, map->Find("ReplicaID")).value_or("");
}

std::string JetDatabase::Version() const {
    return state_->File().Format().versionText;
}

bool JetDatabase::Updatable() const {
    return state_->File().Writable();
}

const schema::Collection<schema::TableDef>& JetDatabase::TableDefs() const {
    state_->File();
    return members_->tables;
}

const schema::Collection<schema::QueryDef>& JetDatabase::QueryDefs() const {
    state_->File();
    return members_->queries;
}

const schema::Collection<schema::Relation>& JetDatabase::Relations() const {
    if (!members_->relations) {
        OwningCollection<schema::Relation, JetRelation> relations;
        ReadRelations(*state_, relations);
        members_->relations.emplace(std::move(relations));
    }
    return *members_->relations;
}

ApplicationStore& JetDatabase::Application() const {
    state_->File();
    if (!members_->application) {
        members_->application = std::make_shared<ApplicationStore>(state_);
    }
    return *members_->application;
}

namespace {

const schema::Collection<schema::AccessObject>& ObjectsOf(
    std::optional<OwningCollection<schema::AccessObject, JetAccessObject>>& objects,
    const std::shared_ptr<ApplicationStore>& store, const Catalog& catalog,
    schema::AccessObjectKind kind) {
    if (!objects) {
        OwningCollection<schema::AccessObject, JetAccessObject> listed;
        ListAccessObjects(store, catalog, kind, listed);
        objects.emplace(std::move(listed));
    }
    return *objects;
}

}  // namespace

const schema::Collection<schema::AccessObject>& JetDatabase::Forms() const {
    Application();
    return ObjectsOf(members_->forms, members_->application, state_->GetCatalog(),
                     schema::AccessObjectKind::Form);
}

const schema::Collection<schema::AccessObject>& JetDatabase::Reports() const {
    Application();
    return ObjectsOf(members_->reports, members_->application, state_->GetCatalog(),
                     schema::AccessObjectKind::Report);
}

const schema::Collection<schema::AccessObject>& JetDatabase::Macros() const {
    Application();
    return ObjectsOf(members_->macros, members_->application, state_->GetCatalog(),
                     schema::AccessObjectKind::Macro);
}

const schema::Collection<schema::VbaModule>& JetDatabase::Modules() const {
    Application();
    if (!members_->modules) {
        OwningCollection<schema::VbaModule, JetVbaModule> modules;
        ListModules(members_->application, state_->GetCatalog(), modules);
        members_->modules.emplace(std::move(modules));
    }
    return *members_->modules;
}

std::optional<std::string> JetDatabase::ProjectProblem() const {
    return Application().ProjectProblem();
}

void JetDatabase::Close() {
    state_->Close();
}

}  // namespace ostrel::jet
