#include "components/jet/application_store.h"

#include "components/jet/access97_project.h"
#include "components/jet/access_containers.h"
#include "components/jet/access_objects_file.h"
#include "components/jet/access_storage.h"
#include "components/jet/compound_file.h"
#include "components/jet/jet_database.h"
#include "components/jet/object_names.h"
#include "components/schema/schema_error.h"

namespace ostrel::jet {
namespace {

constexpr char kModulesTable[] = "MSysModules2";

std::shared_ptr<const StorageTree> ReadTree(const std::shared_ptr<DatabaseState>& state,
                                            ProjectStore store) {
    if (store == ProjectStore::AccessStorage) {
        if (state->GetCatalog().FindTable("MSysAccessStorage") == nullptr) {
            return nullptr;
        }
        return std::make_shared<AccessStorageTree>(state);
    }
    const PageFile& file = state->File();
    std::vector<std::uint8_t> bytes = JoinAccessObjects(file, state->GetCatalog());
    if (bytes.empty()) {
        return nullptr;
    }
    return std::make_shared<CompoundFile>(std::move(bytes), file.Label(),
                                          "the compound file in MSysAccessObjects");
}

ProjectStore TreeStoreOf(const DatabaseState& state) {
    return state.File().Format().isAce ? ProjectStore::AccessStorage : ProjectStore::AccessObjects;
}

}  // namespace

std::unique_ptr<VbaProject> ReadProjectFrom(std::shared_ptr<DatabaseState> state,
                                            ProjectStore store) {
    if (store == ProjectStore::Modules2) {
        return ReadAccess97Project(std::move(state));
    }
    const std::string label = state->File().Label();
    auto tree = ReadTree(state, store);
    return tree ? ReadTreeProject(std::move(tree), label) : nullptr;
}

ApplicationStore::ApplicationStore(std::shared_ptr<DatabaseState> state)
    : state_(std::move(state)) {}

std::shared_ptr<const StorageTree> ApplicationStore::Tree() {
    if (!treeLoaded_) {
        treeLoaded_ = true;
        try {
            tree_ = ReadTree(state_, TreeStoreOf(*state_));
        } catch (const schema::SchemaError& e) {
            treeProblem_ = e.what();
        }
    }
    if (treeProblem_) {
        throw schema::SchemaError(*treeProblem_);
    }
    return tree_;
}

void ApplicationStore::LoadProject() {
    projectLoaded_ = true;
    try {
        const bool jet3 = !state_->File().Format().unicodeText;
        if (jet3 && state_->GetCatalog().FindTable(kModulesTable) != nullptr) {
            project_ = ReadAccess97Project(state_);
        } else if (auto tree = Tree()) {
            project_ = ReadTreeProject(std::move(tree), state_->File().Label());
        }
    } catch (const schema::SchemaError& e) {
        project_.reset();
        projectProblem_ = e.what();
    }
}

const VbaProject* ApplicationStore::Project() {
    if (!projectLoaded_) {
        LoadProject();
    }
    return project_.get();
}

const std::optional<std::string>& ApplicationStore::ProjectProblem() {
    if (!projectLoaded_) {
        LoadProject();
    }
    return projectProblem_;
}

std::optional<std::string> ApplicationStore::MacroXml(const std::string& name) {
    const auto tree = Tree();
    const auto scripts = tree ? tree->Find({"Scripts"}) : std::nullopt;
    const auto dirData = scripts ? tree->Child(*scripts, kDirDataStream) : std::nullopt;
    if (!dirData) {
        return std::nullopt;
    }
    const std::vector<std::uint8_t> bytes = tree->Read(*dirData);
    const std::string label = state_->File().Label();
    for (const auto& [object, storage] :
         ParseDirData(ByteCursor(bytes, label, tree->Where() + ", Scripts directory"))) {
        if (!SameName(object, name)) {
            continue;
        }
        const auto folder = tree->Child(*scripts, storage);
        const auto blob = folder ? tree->Child(*folder, "Blob") : std::nullopt;
        return blob ? MacroXmlFromBlob(tree->Read(*blob)) : std::nullopt;
    }
    return std::nullopt;
}

}  // namespace ostrel::jet
