#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "components/jet/vba_project.h"

namespace ostrel::jet {

class DatabaseState;

// Access 97's project: one row of MSysModules2 per module (Type 32768 a
// form's, 32772 a report's, 32775 a standard or class module), whose Module
// value holds the compiled module with the compressed source somewhere
// inside. It keeps no code page; the database's own serves. Nothing when the
// file has no such table; raises SchemaError when it cannot be read.
std::unique_ptr<VbaProject> ReadAccess97Project(std::shared_ptr<DatabaseState> state);

// Where the compressed source begins in an Access 97 Module value: the first
// place that holds a container whose text begins "Attribute VB_Name", as
// every module's text does. Nothing when there is none.
std::optional<std::size_t> FindModuleSource(std::span<const std::uint8_t> value);

}  // namespace ostrel::jet
