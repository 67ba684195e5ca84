#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "components/jet/storage_tree.h"

namespace ostrel::jet {

// A compound file (the structured storage of COM) held in memory: a header,
// sectors chained through the file allocation table (FAT, itself listed by
// the header and the DIFAT sectors), a directory of storages and streams kept
// as trees of siblings, and small streams kept in 64-byte mini sectors of the
// root's stream, chained through the mini FAT.
//
// Everything is checked: chains that loop or leave the file, FAT, DIFAT and
// mini-stream bounds, directory trees that loop, a missing root. A last
// sector cut short counts as padded with zero bytes.
class CompoundFile final : public StorageTree {
  public:
    // Parses the header, the FAT, the mini FAT and the directory. label names
    // the database file, where the bytes ("the compound file in
    // MSysAccessObjects"); both appear in messages. Raises SchemaError.
    CompoundFile(std::vector<std::uint8_t> bytes, std::string label, std::string where);

    std::vector<std::uint8_t> Read(std::size_t node) const override;
    std::string Where() const override { return where_; }

  private:
    struct Entry {
        std::string name;
        std::uint8_t type = 0;
        std::uint32_t left = 0;
        std::uint32_t right = 0;
        std::uint32_t child = 0;
        std::uint32_t start = 0;
        std::uint64_t size = 0;
    };

    [[noreturn]] void Damaged(const std::string& what) const;
    std::uint32_t SectorCount() const;
    std::span<const std::uint8_t> Sector(std::uint32_t sector, const char* what) const;
    void ReadHeader();
    void ReadFat();
    void ReadDirectory();
    void ReadMiniFat();
    void BuildTree();
    void AddChildren(std::size_t node, std::uint32_t firstEntry, std::vector<bool>& seen);
    // The sectors of a chain in `table` from start: `count` of them, or up to
    // its end when count is nothing.
    std::vector<std::uint32_t> Chain(const std::vector<std::uint32_t>& table, std::uint32_t start,
                                     std::optional<std::size_t> count, const char* what) const;
    std::vector<std::uint8_t> ReadFromFat(std::uint32_t start, std::uint64_t size,
                                          const char* what) const;
    const std::vector<std::uint8_t>& MiniStream() const;

    std::vector<std::uint8_t> bytes_;
    std::string label_;
    std::string where_;
    unsigned sectorShift_ = 9;
    std::uint32_t miniCutoff_ = 4096;
    bool version3_ = true;
    std::vector<std::uint32_t> fat_;
    std::vector<std::uint32_t> miniFat_;
    std::vector<Entry> entries_;
    std::vector<std::size_t> entryOfNode_;
    mutable std::optional<std::vector<std::uint8_t>> miniStream_;
};

}  // namespace ostrel::jet
