#include "components/jet/application_objects.h"

#include <set>

#include "components/jet/text_decoding.h"
#include "components/schema/schema_error.h"

namespace ostrel::jet {
namespace {

using schema::AccessObjectKind;
using schema::VbaModuleKind;

schema::Variant DateOf(const std::optional<double>& oleDate) {
    if (!oleDate) {
        return schema::NullValue{};
    }
    return schema::DateTime::FromOleDate(*oleDate);
}

constexpr std::string_view kFormPrefix = "Form_";
constexpr std::string_view kReportPrefix = "Report_";

// The module that holds the code behind a form or report.
std::string ModuleNameOf(AccessObjectKind kind, const std::string& name) {
    return std::string(kind == AccessObjectKind::Form ? kFormPrefix : kReportPrefix) + name;
}

bool HasPrefix(std::string_view name, std::string_view prefix) {
    return name.size() > prefix.size() && SameName(name.substr(0, prefix.size()), prefix);
}

// Access 97 does not say which of its modules are class modules; their text
// does, as a class module's hidden header declares how it is exposed.
VbaModuleKind KindFromHeader(std::string_view source) {
    const std::string_view header = source.substr(0, schema::HiddenHeaderLength(source));
    return header.find("Attribute VB_Exposed") != std::string_view::npos ? VbaModuleKind::Class
                                                                         : VbaModuleKind::Standard;
}

}  // namespace

// ---- forms, reports and macros --------------------------------------------

JetAccessObject::JetAccessObject(std::shared_ptr<ApplicationStore> store, CatalogEntry entry,
                                 AccessObjectKind kind)
    : store_(std::move(store)), entry_(std::move(entry)), kind_(kind) {}

schema::Variant JetAccessObject::DateCreated() const {
    return DateOf(entry_.dateCreate);
}

schema::Variant JetAccessObject::LastUpdated() const {
    return DateOf(entry_.dateUpdate);
}

bool JetAccessObject::HasModule() const {
    if (kind_ == AccessObjectKind::Macro) {
        return false;
    }
    const VbaProject* project = store_->Project();
    if (project == nullptr) {
        return false;
    }
    const std::string module = ModuleNameOf(kind_, entry_.name);
    for (const ProjectModule& m : project->Modules()) {
        if (SameName(m.name, module)) {
            return true;
        }
    }
    return false;
}

void JetAccessObject::LoadMacro() const {
    if (macroLoaded_) {
        return;
    }
    macroLoaded_ = true;
    try {
        macroXml_ = store_->MacroXml(entry_.name);
    } catch (const schema::SchemaError& e) {
        macroProblem_ = e.what();
    }
}

std::optional<std::string> JetAccessObject::MacroXml() const {
    if (kind_ != AccessObjectKind::Macro) {
        return std::nullopt;
    }
    LoadMacro();
    return macroXml_;
}

std::optional<std::string> JetAccessObject::Problem() const {
    if (kind_ == AccessObjectKind::Macro) {
        LoadMacro();
        return macroProblem_;
    }
    if (const auto& problem = store_->ProjectProblem()) {
        return "its module cannot be looked for: " + *problem;
    }
    return std::nullopt;
}

// ---- modules --------------------------------------------------------------

JetVbaModule::JetVbaModule(std::shared_ptr<ApplicationStore> store, std::size_t index,
                           const CatalogEntry* entry)
    : store_(std::move(store)), index_(index) {
    const ProjectModule& m = store_->Project()->Modules().at(index);
    name_ = m.name;
    kind_ = m.kind;
    codePage_ = m.codePage;
    if (entry != nullptr) {
        entry_ = *entry;
    }
}

JetVbaModule::JetVbaModule(CatalogEntry entry, std::string problem)
    : name_(entry.name),
      kind_(VbaModuleKind::Standard),
      entry_(std::move(entry)),
      loaded_(true),
      problem_(std::move(problem)) {}

void JetVbaModule::Load() const {
    if (loaded_) {
        return;
    }
    loaded_ = true;
    try {
        const VbaProject* project = store_->Project();
        source_ = DecodeProjectText(project->SourceBytes(index_), codePage_);
    } catch (const schema::SchemaError& e) {
        problem_ = e.what();
    }
}

VbaModuleKind JetVbaModule::Kind() const {
    if (kind_) {
        return *kind_;
    }
    Load();
    return source_ ? KindFromHeader(*source_) : VbaModuleKind::Standard;
}

std::optional<schema::ModuleOwner> JetVbaModule::Owner() const {
    if (Kind() != VbaModuleKind::Document) {
        return std::nullopt;
    }
    if (HasPrefix(name_, kFormPrefix)) {
        return schema::ModuleOwner{AccessObjectKind::Form, name_.substr(kFormPrefix.size())};
    }
    if (HasPrefix(name_, kReportPrefix)) {
        return schema::ModuleOwner{AccessObjectKind::Report, name_.substr(kReportPrefix.size())};
    }
    return std::nullopt;
}

schema::Variant JetVbaModule::DateCreated() const {
    return entry_ ? DateOf(entry_->dateCreate) : schema::Variant(schema::NullValue{});
}

schema::Variant JetVbaModule::LastUpdated() const {
    return entry_ ? DateOf(entry_->dateUpdate) : schema::Variant(schema::NullValue{});
}

std::string JetVbaModule::Source() const {
    Load();
    if (!source_) {
        throw schema::SchemaError(*problem_);
    }
    return *source_;
}

int JetVbaModule::LineCount() const {
    Load();
    return source_ ? schema::VisibleLineCount(*source_) : 0;
}

std::optional<std::string> JetVbaModule::Problem() const {
    Load();
    return problem_;
}

// ---- listing --------------------------------------------------------------

void ListAccessObjects(const std::shared_ptr<ApplicationStore>& store, const Catalog& catalog,
                       AccessObjectKind kind,
                       OwningCollection<schema::AccessObject, JetAccessObject>& objects) {
    const std::int16_t type = kind == AccessObjectKind::Form     ? object_type::kForm
                              : kind == AccessObjectKind::Report ? object_type::kReport
                                                                 : object_type::kMacro;
    for (const CatalogEntry& e : catalog.entries) {
        if (e.type == type) {
            objects.Add(std::make_unique<JetAccessObject>(store, e, kind));
        }
    }
    SortByName(objects.Items());
}

void ListModules(const std::shared_ptr<ApplicationStore>& store, const Catalog& catalog,
                 OwningCollection<schema::VbaModule, JetVbaModule>& modules) {
    std::vector<const CatalogEntry*> listed;
    for (const CatalogEntry& e : catalog.entries) {
        if (e.type == object_type::kModule) {
            listed.push_back(&e);
        }
    }
    std::set<const CatalogEntry*> matched;
    if (const VbaProject* project = store->Project()) {
        for (std::size_t i = 0; i < project->Modules().size(); ++i) {
            const CatalogEntry* entry = nullptr;
            for (const CatalogEntry* e : listed) {
                if (SameName(e->name, project->Modules()[i].name)) {
                    entry = e;
                }
            }
            matched.insert(entry);
            modules.Add(std::make_unique<JetVbaModule>(store, i, entry));
        }
    }
    const std::string problem = store->ProjectProblem().value_or(
        store->Project() != nullptr ? "the VBA project does not hold it"
                                    : "the database has no VBA project");
    for (const CatalogEntry* e : listed) {
        if (matched.count(e) == 0) {
            modules.Add(std::make_unique<JetVbaModule>(*e, problem));
        }
    }
    SortByName(modules.Items());
}

}  // namespace ostrel::jet
