#pragma once

#include <map>
#include <memory>
#include <string>

#include "components/memory/memory_schema.h"
#include "components/schema/database.h"

namespace ostrel::memory {

// Opens a database that serves every member from the given description.
std::unique_ptr<schema::Database> OpenMemoryDatabase(DatabaseBlueprint blueprint);

// An engine whose "files" are descriptions registered under a path. Opening an
// unregistered path fails like opening a missing file.
class MemoryEngine : public schema::SchemaEngine {
  public:
    void Register(const std::string& path, DatabaseBlueprint blueprint);
    std::unique_ptr<schema::Database> OpenDatabase(const std::string& path) override;
    int OpenCount() const { return openCount_; }

  private:
    std::map<std::string, DatabaseBlueprint> databases_;
    int openCount_ = 0;
};

}  // namespace ostrel::memory
