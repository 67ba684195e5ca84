#pragma once

// A relationship for the diagram tests' schemas: by default on the primary
// table's ID and the foreign table's ParentID.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "components/memory/memory_schema.h"

namespace ostrel::diagram::testing {

inline memory::RelationBlueprint Relation(const std::string& name, const std::string& primary,
                                          const std::string& foreign, std::uint32_t attributes = 0,
                                          std::vector<memory::RelationFieldBlueprint> fields = {
                                              {"ID", "ParentID"}}) {
    return {.name = name,
            .table = primary,
            .foreignTable = foreign,
            .attributes = attributes,
            .fields = std::move(fields)};
}

}  // namespace ostrel::diagram::testing
