#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "components/jet/storage_tree.h"

namespace ostrel::jet {

class DatabaseState;

// The storage tree of an ACE file, kept as rows of MSysAccessStorage: each
// row an Id, the Id of its parent, a Name and a Type (1 storage, 2 stream
// whose bytes are the long value Lv). The root is the row named
// MSysAccessStorage_ROOT; rows that cannot be reached from it (orphans, and
// rows in loops of parents) are left out.
class AccessStorageTree final : public StorageTree {
  public:
    // Reads the rows, not yet the streams. Raises SchemaError when the table
    // cannot be read or has no root.
    explicit AccessStorageTree(std::shared_ptr<DatabaseState> state);

    std::vector<std::uint8_t> Read(std::size_t node) const override;
    std::string Where() const override { return "MSysAccessStorage"; }

  private:
    std::shared_ptr<DatabaseState> state_;
    // Lv as each node's row stores it (a long value reference).
    std::vector<std::optional<std::vector<std::uint8_t>>> stored_;
};

}  // namespace ostrel::jet
