#include "components/jet/access_storage.h"

#include <map>
#include <set>

#include "components/jet/jet_database.h"
#include "components/jet/row_reader.h"

namespace ostrel::jet {
namespace {

constexpr char kTable[] = "MSysAccessStorage";
constexpr char kRootName[] = "MSysAccessStorage_ROOT";
constexpr std::int64_t kStorage = 1;
constexpr std::int64_t kStream = 2;

struct StorageRow {
    std::int64_t id = 0;
    std::int64_t parentId = 0;
    std::string name;
    std::int64_t type = 0;
    std::optional<std::vector<std::uint8_t>> lv;
};

}  // namespace

AccessStorageTree::AccessStorageTree(std::shared_ptr<DatabaseState> state)
    : state_(std::move(state)) {
    const PageFile& file = state_->File();
    std::vector<StorageRow> rows;
    ForEachSystemRow(
        file, state_->GetCatalog(), kTable, std::string("the application's store (") + kTable + ")",
        [&](const RowView& row) {
            rows.push_back(StorageRow{row.Int("Id").value_or(0), row.Int("ParentId").value_or(0),
                                      row.Text("Name").value_or(""), row.Int("Type").value_or(0),
                                      row.Stored("Lv")});
        });
    const StorageRow* root = nullptr;
    std::multimap<std::int64_t, const StorageRow*> byParent;
    for (const StorageRow& row : rows) {
        if (root == nullptr && row.name == kRootName && row.type == kStorage) {
            root = &row;
        } else if (row.type == kStorage || row.type == kStream) {
            byParent.emplace(row.parentId, &row);
        }
    }
    if (root == nullptr) {
        ThrowDamaged(file.Label(), std::string(kTable) + ": no root row (" + kRootName + ")");
    }
    nodes_.push_back(Node{"", false, {}});
    stored_.emplace_back();
    std::vector<std::int64_t> ids = {root->id};
    std::set<std::int64_t> seen = {root->id};
    // Storages are added as they are found; each adds its own children.
    for (std::size_t node = 0; node < nodes_.size(); ++node) {
        if (nodes_[node].stream) {
            continue;
        }
        const auto [first, last] = byParent.equal_range(ids[node]);
        for (auto it = first; it != last; ++it) {
            const StorageRow& row = *it->second;
            if (!seen.insert(row.id).second) {
                continue;  // a row listed twice, or a loop back to an ancestor
            }
            nodes_[node].children.push_back(nodes_.size());
            nodes_.push_back(Node{row.name, row.type == kStream, {}});
            stored_.push_back(row.lv);
            ids.push_back(row.id);
        }
    }
}

std::vector<std::uint8_t> AccessStorageTree::Read(std::size_t node) const {
    const auto& lv = stored_.at(node);
    if (!lv) {
        return {};
    }
    return ReadLongValue(state_->File(), *lv,
                         std::string(kTable) + " stream '" + At(node).name + "'");
}

}  // namespace ostrel::jet
