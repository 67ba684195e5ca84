#include "components/jet/vba_directory.h"

#include <string_view>

#include "components/jet/text_decoding.h"

namespace ostrel::jet {
namespace {

// Record ids of the "dir" stream.
constexpr std::uint16_t kCodePage = 0x0003;
constexpr std::uint16_t kVersion = 0x0009;  // its size field says 4; 6 bytes follow
constexpr std::uint16_t kTerminator = 0x0010;
constexpr std::uint16_t kModuleName = 0x0019;
constexpr std::uint16_t kModuleStreamName = 0x001A;
constexpr std::uint16_t kModuleProcedural = 0x0021;
constexpr std::uint16_t kModuleNonProcedural = 0x0022;
constexpr std::uint16_t kModuleEnd = 0x002B;
constexpr std::uint16_t kModuleOffset = 0x0031;
constexpr std::uint16_t kModuleStreamNameUnicode = 0x0032;
constexpr std::uint16_t kModuleNameUnicode = 0x0047;
constexpr std::size_t kVersionSize = 6;

}  // namespace

ProjectDirectory ParseProjectDirectory(const ByteCursor& dir) {
    ProjectDirectory project;
    ByteCursor cursor = dir;
    DirectoryModule* module = nullptr;
    while (cursor.Remaining() > 0) {
        const std::size_t at = cursor.Position();
        const std::uint16_t id = cursor.ReadU16();
        const std::uint32_t stated = cursor.ReadU32();
        const std::size_t size = id == kVersion ? kVersionSize : stated;
        if (size > cursor.Remaining()) {
            cursor.Fail(at, "record " + std::to_string(id) + " of " + std::to_string(size) +
                                " bytes runs past the end of the stream");
        }
        const ByteCursor data = cursor.Sub(cursor.Position(), size);
        cursor.Skip(size);
        const auto bytes = data.Bytes(0, size);
        if (id == kTerminator) {
            break;
        }
        if (id == kCodePage && size == 2) {
            project.codePage = data.U16(0);
        } else if (id == kModuleName) {
            module = &project.modules.emplace_back();
            module->name = DecodeProjectText(bytes, project.codePage);
            module->streamName = module->name;
        } else if (module == nullptr) {
            continue;  // a record of the project or its references
        } else if (id == kModuleNameUnicode) {
            module->name = Utf16ToUtf8(bytes);
        } else if (id == kModuleStreamName) {
            module->streamName = DecodeProjectText(bytes, project.codePage);
        } else if (id == kModuleStreamNameUnicode) {
            module->streamName = Utf16ToUtf8(bytes);
        } else if (id == kModuleOffset && size == 4) {
            module->sourceOffset = data.U32(0);
        } else if (id == kModuleProcedural || id == kModuleNonProcedural) {
            module->procedural = id == kModuleProcedural;
        } else if (id == kModuleEnd) {
            module = nullptr;
        }
    }
    return project;
}

std::map<std::string, schema::VbaModuleKind> ParseProjectKinds(std::span<const std::uint8_t> text,
                                                               int codePage) {
    using schema::VbaModuleKind;
    static const std::pair<std::string_view, VbaModuleKind> kKeys[] = {
        {"Module=", VbaModuleKind::Standard},    {"Class=", VbaModuleKind::Class},
        {"BaseClass=", VbaModuleKind::Designer}, {"Document=", VbaModuleKind::Document},
        {"DocClass=", VbaModuleKind::Document},
    };
    std::map<std::string, VbaModuleKind> kinds;
    const std::string decoded = DecodeProjectText(text, codePage);
    const std::string_view all(decoded);
    for (std::size_t pos = 0; pos < all.size();) {
        const std::size_t end = std::min(all.find_first_of("\r\n", pos), all.size());
        const std::string_view line = all.substr(pos, end - pos);
        pos = end + 1;
        if (line.starts_with("[")) {
            break;  // the project's own properties end where sections begin
        }
        for (const auto& [key, kind] : kKeys) {
            if (line.starts_with(key)) {
                std::string_view name = line.substr(key.size());
                // A document's name is followed by "/&H" and its version.
                if (kind == VbaModuleKind::Document) {
                    name = name.substr(0, name.find('/'));
                }
                kinds.emplace(std::string(name), kind);
            }
        }
    }
    return kinds;
}

}  // namespace ostrel::jet
