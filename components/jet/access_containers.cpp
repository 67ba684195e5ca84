#include "components/jet/access_containers.h"

#include <algorithm>
#include <array>

#include "components/jet/text_decoding.h"

namespace ostrel::jet {
namespace {

constexpr std::uint8_t kNameEntry = 4;
constexpr std::size_t kHeaderSize = 4;
constexpr std::size_t kNumberSize = 4;
// "_AXL:" in UTF-16LE.
constexpr std::array<std::uint8_t, 10> kXmlMark = {'_', 0, 'A', 0, 'X', 0, 'L', 0, ':', 0};

}  // namespace

std::vector<std::pair<std::string, std::string>> ParseDirData(const ByteCursor& dirData) {
    std::vector<std::pair<std::string, std::string>> entries;
    ByteCursor cursor = dirData;
    cursor.Skip(std::min(kHeaderSize, cursor.Remaining()));
    while (cursor.Remaining() > 0) {
        const std::size_t at = cursor.Position();
        const std::uint8_t type = cursor.ReadU8();
        if (type != kNameEntry) {
            cursor.Fail(at, "entry of unknown type " + std::to_string(type));
        }
        const std::uint8_t length = cursor.ReadU8();
        if (length < kNumberSize || length > cursor.Remaining()) {
            cursor.Fail(at, "entry of " + std::to_string(length) + " bytes, " +
                                std::to_string(cursor.Remaining()) + " left");
        }
        std::string name = Utf16ToUtf8(cursor.ReadBytes(length - kNumberSize));
        entries.emplace_back(std::move(name), std::to_string(cursor.ReadU32()));
    }
    return entries;
}

std::optional<std::string> MacroXmlFromBlob(std::span<const std::uint8_t> blob) {
    std::vector<std::uint8_t> joined;
    bool found = false;
    std::size_t at = 2;
    while (at + kXmlMark.size() <= blob.size()) {
        const auto hit = std::search(blob.begin() + static_cast<std::ptrdiff_t>(at), blob.end(),
                                     kXmlMark.begin(), kXmlMark.end());
        if (hit == blob.end()) {
            break;
        }
        const auto mark = static_cast<std::size_t>(hit - blob.begin());
        const std::size_t length = blob[mark - 2] | (blob[mark - 1] << 8);
        if (length < kXmlMark.size() || length % 2 != 0 || length > blob.size() - mark) {
            at = mark + 1;  // the mark in other text, not a piece
            continue;
        }
        // Each piece ends with a NUL character, which is not part of the XML.
        std::size_t end = length;
        if (end >= kXmlMark.size() + 2 && blob[mark + end - 2] == 0 && blob[mark + end - 1] == 0) {
            end -= 2;
        }
        joined.insert(joined.end(), hit + kXmlMark.size(), hit + static_cast<std::ptrdiff_t>(end));
        found = true;
        at = mark + length;
    }
    if (!found) {
        return std::nullopt;
    }
    return Utf16ToUtf8(joined);
}

}  // namespace ostrel::jet
