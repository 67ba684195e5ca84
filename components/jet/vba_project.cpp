#include "components/jet/vba_project.h"

#include <map>

#include "components/jet/byte_cursor.h"
#include "components/jet/object_names.h"
#include "components/jet/vba_compression.h"
#include "components/jet/vba_directory.h"
#include "components/schema/schema_error.h"

namespace ostrel::jet {
namespace {

using schema::VbaModuleKind;

class TreeProject final : public VbaProject {
  public:
    TreeProject(std::shared_ptr<const StorageTree> tree, std::size_t project, std::string label)
        : tree_(std::move(tree)),
          label_(std::move(label)),
          where_(tree_->Where() + ", VBA project") {
        const auto code = tree_->Child(project, "VBA");
        const auto dir = code ? tree_->Child(*code, "dir") : std::nullopt;
        if (!dir) {
            ThrowDamaged(label_, where_ + ": no directory stream (VBA/dir)");
        }
        code_ = *code;
        const std::vector<std::uint8_t> packed = tree_->Read(*dir);
        const std::vector<std::uint8_t> unpacked =
            DecompressContainer(ByteCursor(packed, label_, where_ + ", dir stream"));
        const ProjectDirectory directory =
            ParseProjectDirectory(ByteCursor(unpacked, label_, where_ + ", dir stream records"));
        const std::map<std::string, VbaModuleKind> kinds =
            DeclaredKinds(project, directory.codePage);
        for (const DirectoryModule& m : directory.modules) {
            const auto declared = kinds.find(m.name);
            modules_.push_back(ProjectModule{m.name,
                                             declared != kinds.end()
                                                 ? declared->second
                                                 : UndeclaredModuleKind(m.name, m.procedural),
                                             directory.codePage});
            streams_.push_back(m.streamName);
            offsets_.push_back(m.sourceOffset);
        }
    }

    std::vector<std::uint8_t> SourceBytes(std::size_t module) const override {
        const std::string& name = modules_.at(module).name;
        const auto stream = tree_->Child(code_, streams_[module]);
        if (!stream || !tree_->At(*stream).stream) {
            ThrowDamaged(label_, where_ + ": the stream '" + streams_[module] + "' of module '" +
                                     name + "' is missing");
        }
        const std::vector<std::uint8_t> bytes = tree_->Read(*stream);
        const ByteCursor cursor(bytes, label_, where_ + ", module '" + name + "'");
        if (offsets_[module] > bytes.size()) {
            cursor.Fail(offsets_[module], "its source starts beyond its stream of " +
                                              std::to_string(bytes.size()) + " bytes");
        }
        return DecompressContainer(cursor.Sub(offsets_[module], bytes.size() - offsets_[module]));
    }

    std::string Where() const override { return tree_->Where(); }

  private:
    // The kinds PROJECT declares. Without it (or when it cannot be read) the
    // directory's own distinction serves.
    std::map<std::string, VbaModuleKind> DeclaredKinds(std::size_t project, int codePage) const {
        const auto stream = tree_->Child(project, "PROJECT");
        if (!stream) {
            return {};
        }
        try {
            return ParseProjectKinds(tree_->Read(*stream), codePage);
        } catch (const schema::SchemaError&) {
            return {};
        }
    }

    std::shared_ptr<const StorageTree> tree_;
    std::string label_;
    std::string where_;
    std::size_t code_ = 0;
    std::vector<std::string> streams_;
    std::vector<std::uint32_t> offsets_;
};

}  // namespace

VbaModuleKind UndeclaredModuleKind(const std::string& name, bool procedural) {
    if (procedural) {
        return VbaModuleKind::Standard;
    }
    const std::string_view view(name);
    if ((view.size() > 5 && SameName(view.substr(0, 5), "Form_")) ||
        (view.size() > 7 && SameName(view.substr(0, 7), "Report_"))) {
        return VbaModuleKind::Document;
    }
    return VbaModuleKind::Class;
}

std::unique_ptr<VbaProject> ReadTreeProject(std::shared_ptr<const StorageTree> tree,
                                            const std::string& label) {
    const auto project = tree->Find({"VBA", "VBAProject"});
    if (!project) {
        return nullptr;
    }
    return std::make_unique<TreeProject>(std::move(tree), *project, label);
}

}  // namespace ostrel::jet
