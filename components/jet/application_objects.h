#pragma once

#include <memory>
#include <optional>
#include <string>

#include "components/jet/application_store.h"
#include "components/jet/catalog.h"
#include "components/jet/jet_objects.h"
#include "components/schema/access_object.h"
#include "components/schema/vba_module.h"

namespace ostrel::jet {

// MSysObjects.Type of the application's objects.
namespace object_type {
inline constexpr std::int16_t kForm = -32768;
inline constexpr std::int16_t kReport = -32764;
inline constexpr std::int16_t kMacro = -32766;
inline constexpr std::int16_t kModule = -32761;
}  // namespace object_type

class JetAccessObject final : public schema::AccessObject {
  public:
    JetAccessObject(std::shared_ptr<ApplicationStore> store, CatalogEntry entry,
                    schema::AccessObjectKind kind);
    std::string Name() const override { return entry_.name; }
    schema::AccessObjectKind Kind() const override { return kind_; }
    schema::Variant DateCreated() const override;
    schema::Variant LastUpdated() const override;
    bool HasModule() const override;
    std::optional<std::string> MacroXml() const override;
    std::optional<std::string> Problem() const override;

  private:
    void LoadMacro() const;

    std::shared_ptr<ApplicationStore> store_;
    CatalogEntry entry_;
    schema::AccessObjectKind kind_;
    mutable bool macroLoaded_ = false;
    mutable std::optional<std::string> macroXml_;
    mutable std::optional<std::string> macroProblem_;
};

class JetVbaModule final : public schema::VbaModule {
  public:
    // A module of the project (index into its list), with its catalog entry
    // where there is one.
    JetVbaModule(std::shared_ptr<ApplicationStore> store, std::size_t index,
                 const CatalogEntry* entry);
    // A module the catalog lists but the project cannot give.
    JetVbaModule(CatalogEntry entry, std::string problem);

    std::string Name() const override { return name_; }
    schema::VbaModuleKind Kind() const override;
    std::optional<schema::ModuleOwner> Owner() const override;
    schema::Variant DateCreated() const override;
    schema::Variant LastUpdated() const override;
    int CodePage() const override { return codePage_; }
    std::string Source() const override;
    int LineCount() const override;
    std::optional<std::string> Problem() const override;

  private:
    void Load() const;

    std::shared_ptr<ApplicationStore> store_;
    std::size_t index_ = 0;
    std::string name_;
    std::optional<schema::VbaModuleKind> kind_;
    int codePage_ = 1252;
    std::optional<CatalogEntry> entry_;
    mutable bool loaded_ = false;
    mutable std::optional<std::string> source_;
    mutable std::optional<std::string> problem_;
};

// The forms, reports or macros (by catalog type) of the catalog, sorted by
// name.
void ListAccessObjects(const std::shared_ptr<ApplicationStore>& store, const Catalog& catalog,
                       schema::AccessObjectKind kind,
                       OwningCollection<schema::AccessObject, JetAccessObject>& objects);

// The project's modules, with those that the catalog lists but the project
// does not hold (or cannot be read), sorted by name.
void ListModules(const std::shared_ptr<ApplicationStore>& store, const Catalog& catalog,
                 OwningCollection<schema::VbaModule, JetVbaModule>& modules);

}  // namespace ostrel::jet
