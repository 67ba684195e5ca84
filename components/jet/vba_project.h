#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "components/jet/storage_tree.h"
#include "components/schema/vba_module.h"

namespace ostrel::jet {

// A module as its project lists it.
struct ProjectModule {
    std::string name;
    // Nothing where only the source's own header tells (Access 97).
    std::optional<schema::VbaModuleKind> kind;
    int codePage = 1252;
};

// A VBA project in one of the stores Access keeps it in. The list of modules
// is read with the project; each module's source when it is asked for.
class VbaProject {
  public:
    virtual ~VbaProject() = default;
    VbaProject(const VbaProject&) = delete;
    VbaProject& operator=(const VbaProject&) = delete;

    const std::vector<ProjectModule>& Modules() const { return modules_; }
    // The decompressed source of a module, in its code page; raises
    // SchemaError when it cannot be read.
    virtual std::vector<std::uint8_t> SourceBytes(std::size_t module) const = 0;
    // The table that holds the project, for messages.
    virtual std::string Where() const = 0;

  protected:
    VbaProject() = default;
    std::vector<ProjectModule> modules_;
};

// The kind of a module whose project does not declare it: a form's or a
// report's module by its name (Form_..., Report_...), else a class module.
schema::VbaModuleKind UndeclaredModuleKind(const std::string& name, bool procedural);

// The project kept under VBA/VBAProject of a storage tree (ACE files and
// Jet 4's compound file): PROJECT, and VBA/dir with one stream per module.
// Nothing when the tree holds no project; raises SchemaError when its
// directory cannot be read. label names the database file in messages.
std::unique_ptr<VbaProject> ReadTreeProject(std::shared_ptr<const StorageTree> tree,
                                            const std::string& label);

}  // namespace ostrel::jet
