#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "components/jet/page_file.h"
#include "components/jet/table_definition.h"

namespace ostrel::jet {

// A row's address: page and row number on that page, stored as one 32-bit
// value (row number in the low byte).
struct RowAddress {
    std::uint32_t page = 0;
    std::uint32_t row = 0;
    static RowAddress FromStored(std::uint32_t v) { return {v >> 8, v & 0xFF}; }
};

// The bytes of the row at address, following overflow pointers; nullopt when
// the row is deleted. The page must be a data page.
std::optional<std::span<const std::uint8_t>> FetchRow(const PageFile& file, RowAddress address,
                                                      const std::string& context);

// The pages a usage map (stored in the row at mapRow) marks, ascending.
std::vector<std::uint32_t> UsageMapPages(const PageFile& file, std::uint32_t mapRow,
                                         const std::string& context);

// Calls visit with the bytes of every live row of the table, in page order.
void ForEachRow(const PageFile& file, const TableDefinition& table, const std::string& context,
                const std::function<void(std::span<const std::uint8_t>)>& visit);

// The value of a long value column (memo, OLE object, ...), given the bytes
// the row holds for it: inline, on one long-value row, or on a chain of them.
std::vector<std::uint8_t> ReadLongValue(const PageFile& file, std::span<const std::uint8_t> field,
                                        const std::string& context);

// One row split into its columns, read by column name.
class RowView {
  public:
    RowView(const PageFile& file, const TableDefinition& table, std::span<const std::uint8_t> row,
            const std::string& context);

    // Raw bytes of a column, nullopt when Null or absent from this row (for
    // Boolean columns use Bool).
    std::optional<std::span<const std::uint8_t>> Raw(const ColumnDef& column) const;
    bool Bool(const ColumnDef& column) const;

    // Typed access by column name; nullopt for Null, absent or unknown columns.
    std::optional<std::int64_t> Int(const char* name) const;
    std::optional<double> Double(const char* name) const;
    std::optional<std::string> Text(const char* name) const;
    // Binary, OLE object and memo columns; long values are read in full.
    std::optional<std::vector<std::uint8_t>> Binary(const char* name) const;
    // The bytes the row holds for a column, without resolving long values.
    std::optional<std::vector<std::uint8_t>> Stored(const char* name) const;

  private:
    // The bytes of a column as a cursor, nullopt for Null, absent or unknown
    // (null) columns: the common start of the typed readers.
    std::optional<ByteCursor> Value(const ColumnDef* column) const;

    const PageFile& file_;
    const TableDefinition& table_;
    ByteCursor row_;
    std::size_t columnCount_ = 0;
    std::size_t nullMaskAt_ = 0;
    std::size_t varCount_ = 0;
    std::vector<std::size_t> varOffsets_;  // varCount_ + 1 entries
};

}  // namespace ostrel::jet
