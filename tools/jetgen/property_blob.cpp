#include "tools/jetgen/property_blob.h"

#include <algorithm>

#include "tools/jetgen/generator_error.h"
#include "tools/jetgen/text_codec.h"

namespace ostrel::jetgen {

namespace {

constexpr std::uint16_t kNameListBlock = 0x0080;

void PutName(ByteWriter& w, const std::string& name) {
    const Bytes encoded = Utf8ToUtf16Le(name);
    w.U16(static_cast<std::uint32_t>(encoded.size()));
    w.Append(encoded);
}

}  // namespace

PropertyValue TextProperty(const std::string& name, const std::string& value, bool ddl) {
    return {name, ColumnType::Text, Utf8ToUtf16Le(value), ddl};
}

PropertyValue MemoProperty(const std::string& name, const std::string& value, bool ddl) {
    return {name, ColumnType::Memo, Utf8ToUtf16Le(value), ddl};
}

PropertyValue BooleanProperty(const std::string& name, bool value, bool ddl) {
    return {name, ColumnType::Boolean, Bytes{static_cast<std::uint8_t>(value ? 0xFF : 0x00)}, ddl};
}

Bytes EncodePropertyBlob(const std::vector<PropertyMap>& maps) {
    std::vector<std::string> names;
    for (const auto& map : maps) {
        for (const auto& v : map.values) {
            if (std::find(names.begin(), names.end(), v.name) == names.end()) {
                names.push_back(v.name);
            }
        }
    }
    if (names.empty()) {
        return {};
    }
    ByteWriter w;
    w.Append(std::string_view("MR2\0", 4));

    std::size_t start = w.Size();
    w.U32(0);
    w.U16(kNameListBlock);
    for (const auto& n : names) {
        PutName(w, n);
    }
    w.PatchU32(start, static_cast<std::uint32_t>(w.Size() - start));

    for (const auto& map : maps) {
        if (map.values.empty()) {
            continue;
        }
        start = w.Size();
        w.U32(0);
        w.U16(map.block);
        const std::size_t nameStart = w.Size();
        w.U32(0);
        PutName(w, map.name);
        w.PatchU32(nameStart, static_cast<std::uint32_t>(w.Size() - nameStart));
        for (const auto& v : map.values) {
            const auto index = static_cast<std::uint32_t>(
                std::find(names.begin(), names.end(), v.name) - names.begin());
            const std::size_t valueStart = w.Size();
            if (v.data.size() > 0xFFF0) {
                throw GeneratorError("property \"" + v.name + "\" is too long");
            }
            w.U16(0);
            w.U8(v.ddl ? 1 : 0);
            w.U8(static_cast<std::uint8_t>(v.type));
            w.U16(index);
            w.U16(static_cast<std::uint32_t>(v.data.size()));
            w.Append(v.data);
            w.PatchU16(valueStart, static_cast<std::uint32_t>(w.Size() - valueStart));
        }
        w.PatchU32(start, static_cast<std::uint32_t>(w.Size() - start));
    }
    return w.Take();
}

}  // namespace ostrel::jetgen
