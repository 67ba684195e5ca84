#include "components/jet/access_objects_file.h"

#include <map>

#include "components/jet/catalog.h"
#include "components/jet/row_reader.h"

namespace ostrel::jet {
namespace {

constexpr char kTable[] = "MSysAccessObjects";
// Gaps are rare (a dozen IDs among thousands in the files seen); IDs that
// would more than double the rows present are not gaps but damage.
constexpr std::int64_t kSlackRows = 64;

}  // namespace

std::vector<std::uint8_t> JoinAccessObjects(const PageFile& file, const Catalog& catalog) {
    const std::string where = std::string("the application's store (") + kTable + ")";
    std::map<std::int64_t, std::vector<std::uint8_t>> pieces;
    std::size_t pieceSize = 0;
    const bool found = ForEachSystemRow(file, catalog, kTable, where, [&](const RowView& row) {
        const auto id = row.Int("ID");
        auto data = row.Binary("Data");
        if (!id || !data || *id <= 0) {
            return;  // the header row, or a row without data
        }
        if (pieceSize == 0) {
            pieceSize = data->size();
        }
        if (data->size() != pieceSize) {
            ThrowDamaged(file.Label(), where + ": row " + std::to_string(*id) + " holds " +
                                           std::to_string(data->size()) + " bytes, others " +
                                           std::to_string(pieceSize));
        }
        pieces.emplace(*id, std::move(*data));
    });
    if (!found || pieces.empty()) {
        return {};
    }
    const std::int64_t last = pieces.rbegin()->first;
    const auto present = static_cast<std::int64_t>(pieces.size());
    if (last > 2 * present + kSlackRows) {
        ThrowDamaged(file.Label(), where + ": its IDs reach " + std::to_string(last) +
                                       " with only " + std::to_string(present) + " rows present");
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(last) * pieceSize, 0);
    for (const auto& [id, data] : pieces) {
        std::copy(data.begin(), data.end(),
                  bytes.begin() + static_cast<std::ptrdiff_t>((id - 1) * pieceSize));
    }
    return bytes;
}

}  // namespace ostrel::jet
