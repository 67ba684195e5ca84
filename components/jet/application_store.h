#pragma once

#include <memory>
#include <optional>
#include <string>

#include "components/jet/storage_tree.h"
#include "components/jet/vba_project.h"

namespace ostrel::jet {

class DatabaseState;

// Which table a file's VBA project is read from.
enum class ProjectStore { AccessStorage, AccessObjects, Modules2 };

// Where the application's parts are kept, read when first asked for: the
// storage tree of forms, reports and macros (MSysAccessStorage in ACE files,
// the compound file of MSysAccessObjects in Jet 4 files) and the VBA
// project. The project is read from the store of the file's own format: ACE
// files from MSysAccessStorage, Jet 4 files from MSysAccessObjects, Jet 3
// files from MSysModules2 (MSysAccessObjects when they have no such table),
// so that a file holding two stores lists each module once.
class ApplicationStore {
  public:
    explicit ApplicationStore(std::shared_ptr<DatabaseState> state);

    // The project, or nullptr when there is none or it cannot be read
    // (ProjectProblem then says why).
    const VbaProject* Project();
    const std::optional<std::string>& ProjectProblem();
    // The XML of the macro with this name; nothing for a binary macro.
    // Raises SchemaError when its store cannot be read.
    std::optional<std::string> MacroXml(const std::string& name);

  private:
    // The storage tree, or nullptr when the file has none; raises
    // SchemaError (kept for later calls) when it cannot be read.
    std::shared_ptr<const StorageTree> Tree();
    void LoadProject();

    std::shared_ptr<DatabaseState> state_;
    bool treeLoaded_ = false;
    std::shared_ptr<const StorageTree> tree_;
    std::optional<std::string> treeProblem_;
    bool projectLoaded_ = false;
    std::unique_ptr<VbaProject> project_;
    std::optional<std::string> projectProblem_;
};

// The project of one store, for readers that compare stores; nullptr when
// the file has no project there. Raises SchemaError.
std::unique_ptr<VbaProject> ReadProjectFrom(std::shared_ptr<DatabaseState> state,
                                            ProjectStore store);

}  // namespace ostrel::jet
