#include "components/jet/storage_tree.h"

#include "components/jet/object_names.h"

namespace ostrel::jet {

std::optional<std::size_t> StorageTree::Child(std::size_t parent, std::string_view name) const {
    for (const std::size_t child : At(parent).children) {
        if (SameName(nodes_[child].name, name)) {
            return child;
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> StorageTree::Find(std::initializer_list<std::string_view> path) const {
    if (nodes_.empty()) {
        return std::nullopt;
    }
    std::size_t node = 0;
    for (const std::string_view name : path) {
        const auto child = Child(node, name);
        if (!child) {
            return std::nullopt;
        }
        node = *child;
    }
    return node;
}

}  // namespace ostrel::jet
