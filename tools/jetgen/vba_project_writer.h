// The VBA project as the VBA editor stores it in a storage tree:
// VBA/VBAProject/{PROJECT, VBA/{dir, _VBA_PROJECT, one stream per module}}.
#pragma once

#include <string>
#include <vector>

#include "tools/jetgen/compound_writer.h"

namespace ostrel::jetgen {

enum class ProjectModuleKind : std::uint8_t { Standard, Class, Document };

struct ProjectModuleSource {
    std::string name;
    ProjectModuleKind kind = ProjectModuleKind::Standard;
    std::string code;  // as the editor shows it; the hidden header is added
};

// The stored text of a module: the hidden "Attribute VB_" header Access
// writes for its kind (lines ended by CR LF), then the code as given.
std::string StoredModuleText(const ProjectModuleSource& module);

// Adds the project to root. Module text and names are stored in codePage
// (through the C library's converter); throws GeneratorError for text it
// cannot hold.
void AddVbaProject(StorageNode& root, const std::vector<ProjectModuleSource>& modules,
                   int codePage);

// UTF-8 text in a Windows code page.
Bytes EncodeCodePage(const std::string& utf8, int codePage);

}  // namespace ostrel::jetgen
