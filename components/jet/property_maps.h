#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "components/jet/page_file.h"

namespace ostrel::jet {

// One stored property: its Jet data type and value bytes.
struct StoredProperty {
    std::string name;
    std::uint8_t type = 0;
    std::vector<std::uint8_t> data;
};

// The properties of one object (the block without a name) or of one of its
// columns (a block named after the column).
struct PropertyMap {
    std::string name;
    bool objectMap = true;
    std::vector<StoredProperty> properties;
    const StoredProperty* Find(const std::string& propertyName) const;
    // Adds the properties of other; where both hold one, other's value wins.
    void Overlay(const PropertyMap& other);
};

// A property blob (MSysObjects.LvProp): a tag ("MR2" or "KKD"), a block of
// property names, then blocks of values.
class PropertyMaps {
  public:
    PropertyMaps() = default;
    static PropertyMaps Parse(const PageFile& file, std::span<const std::uint8_t> blob,
                              const std::string& context);
    // The maps of a catalog object: its LvProp field points at the blob, which
    // may live on long-value pages. An object without the field has none.
    static PropertyMaps ReadStored(const PageFile& file,
                                   const std::optional<std::vector<std::uint8_t>>& lvProp,
                                   const std::string& context);

    const PropertyMap* Object() const;
    const PropertyMap* Column(const std::string& columnName) const;

  private:
    std::vector<PropertyMap> maps_;
};

// Reading values of a property; nullopt when the property is absent.
std::optional<std::string> PropertyText(const PageFile& file, const StoredProperty* property);
std::optional<bool> PropertyBool(const StoredProperty* property);
std::optional<std::int64_t> PropertyInt(const StoredProperty* property);

// A 16-byte GUID as "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
std::string GuidText(std::span<const std::uint8_t> bytes);

}  // namespace ostrel::jet
