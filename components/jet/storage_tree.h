#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ostrel::jet {

// A tree of storages (folders) and streams, as Access keeps its VBA project
// and the designs of forms, reports and macros: in the table
// MSysAccessStorage of ACE files, or in the compound file that
// MSysAccessObjects holds in Jet 4 files. Node 0 is the root.
class StorageTree {
  public:
    struct Node {
        std::string name;
        bool stream = false;
        std::vector<std::size_t> children;
    };

    virtual ~StorageTree() = default;
    StorageTree(const StorageTree&) = delete;
    StorageTree& operator=(const StorageTree&) = delete;

    std::size_t Size() const { return nodes_.size(); }
    const Node& At(std::size_t node) const { return nodes_.at(node); }
    // The child of `parent` with this name, letter case aside.
    std::optional<std::size_t> Child(std::size_t parent, std::string_view name) const;
    // The node at the end of a path of names from the root.
    std::optional<std::size_t> Find(std::initializer_list<std::string_view> path) const;
    // The bytes of a stream; raises SchemaError when they cannot be read.
    virtual std::vector<std::uint8_t> Read(std::size_t node) const = 0;
    // Where the tree is kept, for messages ("MSysAccessStorage").
    virtual std::string Where() const = 0;

  protected:
    StorageTree() = default;
    std::vector<Node> nodes_;
};

}  // namespace ostrel::jet
