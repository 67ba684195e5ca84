#include "components/jet/property_maps.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "components/jet/row_reader.h"
#include "components/jet/table_definition.h"
#include "components/jet/text_decoding.h"

namespace ostrel::jet {
namespace {

constexpr std::uint16_t kNameBlock = 0x80;
constexpr std::uint16_t kObjectBlock = 0x00;
constexpr std::size_t kBlockHeader = 6;
constexpr std::size_t kValueHeader = 8;
constexpr std::uint8_t kTypeBoolean = 0x01;
constexpr std::uint8_t kTypeGuid = 0x0F;
constexpr std::uint8_t kTypeText = 0x0A;
constexpr std::uint8_t kTypeMemo = 0x0C;
constexpr std::uint8_t kTypeBinary = 0x09;

std::string ReadPropertyName(const PageFile& file, ByteCursor& cursor) {
    const std::uint16_t length = cursor.ReadU16();
    return DecodeText(file, cursor.ReadBytes(length));
}

// The lengths inside a block are not always consistent with the block's own
// (a file whose CR bytes were once turned into LF by a text conversion is a
// real example). The block's length bounds everything; an entry that does not
// fit it ends the block, and what was read before it is kept.
void ReadNameBlock(const PageFile& file, ByteCursor& block, std::vector<std::string>& names) {
    while (block.Remaining() >= 2) {
        const std::size_t at = block.Position();
        if (block.U16(at) > block.Remaining() - 2) {
            return;
        }
        names.push_back(ReadPropertyName(file, block));
    }
}

void ReadValues(ByteCursor& block, const std::vector<std::string>& names, PropertyMap& map) {
    while (block.Remaining() >= kValueHeader) {
        const std::size_t valueAt = block.Position();
        const std::uint16_t valueLength = block.ReadU16();
        block.Skip(1);  // DDL flag
        StoredProperty property;
        property.type = block.ReadU8();
        const std::uint16_t nameIndex = block.ReadU16();
        const std::uint16_t dataLength = block.ReadU16();
        if (nameIndex >= names.size() || dataLength > block.Remaining()) {
            return;
        }
        property.name = names[nameIndex];
        const auto data = block.ReadBytes(dataLength);
        property.data.assign(data.begin(), data.end());
        map.properties.push_back(std::move(property));
        // A stated length shorter than the value is wrong; the value's own
        // length is what was read.
        const std::size_t end =
            valueAt + std::max<std::size_t>(valueLength, kValueHeader + dataLength);
        if (end > block.Size()) {
            return;
        }
        block.Seek(end);
    }
}

}  // namespace

const StoredProperty* PropertyMap::Find(const std::string& propertyName) const {
    for (const StoredProperty& p : properties) {
        if (SameName(p.name, propertyName)) {
            return &p;
        }
    }
    return nullptr;
}

void PropertyMap::Overlay(const PropertyMap& other) {
    for (const StoredProperty& p : other.properties) {
        auto it = std::find_if(properties.begin(), properties.end(),
                               [&](const StoredProperty& q) { return SameName(q.name, p.name); });
        if (it != properties.end()) {
            *it = p;
        } else {
            properties.push_back(p);
        }
    }
}

PropertyMaps PropertyMaps::ReadStored(const PageFile& file,
                                      const std::optional<std::vector<std::uint8_t>>& lvProp,
                                      const std::string& context) {
    if (!lvProp) {
        return {};
    }
    const auto blob = ReadLongValue(file, *lvProp, context);
    return Parse(file, blob, context);
}

PropertyMaps PropertyMaps::Parse(const PageFile& file, std::span<const std::uint8_t> blob,
                                 const std::string& context) {
    PropertyMaps maps;
    if (blob.empty()) {
        return maps;
    }
    ByteCursor cursor(blob, file.Label(), context + ", properties");
    const char* tag = file.Format().propertyTag;
    if (std::memcmp(cursor.Bytes(0, 4).data(), tag, 4) != 0) {
        cursor.Fail(0, "unknown property blob tag");
    }
    cursor.Seek(4);
    std::vector<std::string> names;
    while (cursor.Remaining() > 0) {
        const std::size_t blockAt = cursor.Position();
        const std::uint32_t length = cursor.ReadU32();
        const std::uint16_t type = cursor.ReadU16();
        if (length < kBlockHeader || length > cursor.Size() - blockAt) {
            cursor.Fail(blockAt, "property block length " + std::to_string(length));
        }
        ByteCursor block = cursor.Sub(blockAt + kBlockHeader, length - kBlockHeader);
        cursor.Seek(blockAt + length);
        if (type == kNameBlock) {
            ReadNameBlock(file, block, names);
            continue;
        }
        PropertyMap map;
        map.objectMap = type == kObjectBlock;
        if (block.Remaining() > 0) {
            const std::size_t nameAt = block.Position();
            const std::uint32_t nameBlockLength = block.ReadU32();
            if (nameBlockLength < 4 || nameBlockLength > block.Size() - nameAt) {
                block.Fail(nameAt, "property map name length " + std::to_string(nameBlockLength));
            }
            if (nameBlockLength > 6) {
                map.name = ReadPropertyName(file, block);
            }
            block.Seek(nameAt + nameBlockLength);
        }
        ReadValues(block, names, map);
        // Blocks for the same object or column add to one map; a later
        // value of a property replaces an earlier one.
        PropertyMap* same = nullptr;
        for (PropertyMap& m : maps.maps_) {
            if (m.objectMap == map.objectMap && (map.objectMap || SameName(m.name, map.name))) {
                same = &m;
            }
        }
        if (same == nullptr) {
            maps.maps_.push_back(std::move(map));
            continue;
        }
        same->Overlay(map);
    }
    return maps;
}

const PropertyMap* PropertyMaps::Object() const {
    for (const PropertyMap& m : maps_) {
        if (m.objectMap) {
            return &m;
        }
    }
    return nullptr;
}

const PropertyMap* PropertyMaps::Column(const std::string& columnName) const {
    for (const PropertyMap& m : maps_) {
        if (!m.objectMap && SameName(m.name, columnName)) {
            return &m;
        }
    }
    return nullptr;
}

std::optional<std::string> PropertyText(const PageFile& file, const StoredProperty* property) {
    if (property == nullptr) {
        return std::nullopt;
    }
    const std::span<const std::uint8_t> data(property->data);
    switch (property->type) {
        case kTypeText:
        case kTypeMemo:
            return DecodeText(file, data);
        case kTypeGuid:
            return GuidText(data);
        case kTypeBinary:
            if (data.size() == 16) {
                return GuidText(data);
            }
            return std::string(data.begin(), data.end());
        default: {
            const auto number = PropertyInt(property);
            if (number) {
                return std::to_string(*number);
            }
            return std::nullopt;
        }
    }
}

std::optional<bool> PropertyBool(const StoredProperty* property) {
    if (property == nullptr || property->data.empty()) {
        return std::nullopt;
    }
    if (property->type == kTypeBoolean) {
        return property->data[0] != 0;
    }
    const auto number = PropertyInt(property);
    if (number) {
        return *number != 0;
    }
    return std::nullopt;
}

std::optional<std::int64_t> PropertyInt(const StoredProperty* property) {
    if (property == nullptr) {
        return std::nullopt;
    }
    const auto& d = property->data;
    switch (d.size()) {
        case 1:
            return d[0];
        case 2:
            return static_cast<std::int16_t>(d[0] | (d[1] << 8));
        case 4:
            return static_cast<std::int32_t>(static_cast<std::uint32_t>(d[0]) |
                                             (static_cast<std::uint32_t>(d[1]) << 8) |
                                             (static_cast<std::uint32_t>(d[2]) << 16) |
                                             (static_cast<std::uint32_t>(d[3]) << 24));
        default:
            return std::nullopt;
    }
}

std::string GuidText(std::span<const std::uint8_t> b) {
    if (b.size() != 16) {
        return {};
    }
    char text[40];
    std::snprintf(text, sizeof text,
                  "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}", b[3],
                  b[2], b[1], b[0], b[5], b[4], b[7], b[6], b[8], b[9], b[10], b[11], b[12], b[13],
                  b[14], b[15]);
    return text;
}

}  // namespace ostrel::jet
