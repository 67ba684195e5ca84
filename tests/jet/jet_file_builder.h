#pragma once

// Builds small Jet 4 database files in memory for tests that must not depend
// on files from elsewhere: a header, the catalog (MSysObjects) and one table
// "Orders" with two fields and a primary key. Offsets of interesting places
// are exposed so that tests can damage exactly one thing.

#include <cstdint>
#include <string>
#include <vector>

namespace ostrel::jet::test {

struct BuiltFile {
    std::vector<std::uint8_t> bytes;
    static constexpr std::uint32_t kPageSize = 4096;
    static constexpr std::uint32_t kCatalogDefinitionPage = 2;
    static constexpr std::uint32_t kCatalogDataPage = 4;
    static constexpr std::uint32_t kOrdersDefinitionPage = 5;
    std::size_t ordersIdOffset = 0;  // catalog row: Orders' Id (its definition page)

    std::size_t PageOffset(std::uint32_t page) const { return std::size_t{page} * kPageSize; }
    void Put16(std::size_t at, std::uint16_t v);
    void Put32(std::size_t at, std::uint32_t v);
    // Writes plain values into the masked part of the header.
    void PutHeader32(std::size_t at, std::uint32_t v);
};

BuiltFile BuildJet4File();

}  // namespace ostrel::jet::test
