// The property blob (LvProp column of MSysObjects) in its Jet 4 "MR2" form.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/jetgen/byte_writer.h"
#include "tools/jetgen/description.h"

namespace ostrel::jetgen {

struct PropertyValue {
    std::string name;
    ColumnType type = ColumnType::Text;
    Bytes data;
    bool ddl = false;
};

inline constexpr std::uint16_t kObjectPropertyBlock = 0x0000;
inline constexpr std::uint16_t kChildPropertyBlock = 0x0001;

// The properties of the object itself (block 0, no name) or of one of its
// columns (block 1, named after the column).
struct PropertyMap {
    std::string name;
    std::uint16_t block = kObjectPropertyBlock;
    std::vector<PropertyValue> values;
};

PropertyValue TextProperty(const std::string& name, const std::string& value, bool ddl);
PropertyValue MemoProperty(const std::string& name, const std::string& value, bool ddl);
PropertyValue BooleanProperty(const std::string& name, bool value, bool ddl);

// Empty when no map holds a value (the catalog then stores no blob).
Bytes EncodePropertyBlob(const std::vector<PropertyMap>& maps);

}  // namespace ostrel::jetgen
