#include "components/jet/access97_project.h"

#include <string_view>

#include "components/jet/jet_database.h"
#include "components/jet/row_reader.h"
#include "components/jet/vba_compression.h"

namespace ostrel::jet {
namespace {

constexpr char kTable[] = "MSysModules2";
constexpr std::int64_t kFormModule = 32768;
constexpr std::int64_t kReportModule = 32772;
constexpr std::int64_t kModule = 32775;
constexpr std::string_view kFirstWords = "Attribute VB_Name";
constexpr int kWesternEuropean = 1252;

class Access97Project final : public VbaProject {
  public:
    explicit Access97Project(std::shared_ptr<DatabaseState> state) : state_(std::move(state)) {
        const PageFile& file = state_->File();
        label_ = file.Label();
        const int codePage = file.CodePage() > 0 ? file.CodePage() : kWesternEuropean;
        ForEachSystemRow(
            file, state_->GetCatalog(), kTable, std::string("modules (") + kTable + ")",
            [&](const RowView& row) {
                const std::int64_t type = row.Int("Type").value_or(0);
                if (type != kFormModule && type != kReportModule && type != kModule) {
                    return;
                }
                std::optional<schema::VbaModuleKind> kind;
                if (type != kModule) {
                    kind = schema::VbaModuleKind::Document;
                }
                modules_.push_back(ProjectModule{row.Text("Name").value_or(""), kind, codePage});
                stored_.push_back(row.Stored("Module"));
            });
    }

    std::vector<std::uint8_t> SourceBytes(std::size_t module) const override {
        const std::string where =
            std::string(kTable) + ", module '" + modules_.at(module).name + "'";
        if (!stored_[module]) {
            ThrowDamaged(label_, where + ": no Module value");
        }
        const std::vector<std::uint8_t> value =
            ReadLongValue(state_->File(), *stored_[module], where);
        const auto start = FindModuleSource(value);
        if (!start) {
            ThrowDamaged(label_, where + ": no compressed source in its " +
                                     std::to_string(value.size()) + " bytes");
        }
        const ByteCursor cursor(value, label_, where);
        return DecompressEmbeddedContainer(cursor.Sub(*start, value.size() - *start));
    }

    std::string Where() const override { return kTable; }

  private:
    std::shared_ptr<DatabaseState> state_;
    std::string label_;
    std::vector<std::optional<std::vector<std::uint8_t>>> stored_;
};

}  // namespace

std::unique_ptr<VbaProject> ReadAccess97Project(std::shared_ptr<DatabaseState> state) {
    if (state->GetCatalog().FindTable(kTable) == nullptr) {
        return nullptr;
    }
    return std::make_unique<Access97Project>(std::move(state));
}

std::optional<std::size_t> FindModuleSource(std::span<const std::uint8_t> value) {
    for (std::size_t at = 0; at + 3 <= value.size(); ++at) {
        // A signature byte, then a chunk header (0b011 in bits 12 to 14).
        if (value[at] != 0x01 || (value[at + 2] & 0x70) != 0x30) {
            continue;
        }
        const auto start = DecompressedPrefix(value.subspan(at), kFirstWords.size());
        if (start && std::string_view(reinterpret_cast<const char*>(start->data()),
                                      start->size()) == kFirstWords) {
            return at;
        }
    }
    return std::nullopt;
}

}  // namespace ostrel::jet
