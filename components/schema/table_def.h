#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "components/schema/collection.h"
#include "components/schema/field.h"
#include "components/schema/index.h"
#include "components/schema/variant.h"

namespace ostrel::schema {

// DAO table definition attribute bits (TableDef.Attributes).
namespace table_attribute {
inline constexpr std::uint32_t kHidden = 0x00000001;
inline constexpr std::uint32_t kSystemObject = 0x80000002;
inline constexpr std::uint32_t kAttachExclusive = 0x00010000;
inline constexpr std::uint32_t kAttachSavePwd = 0x00020000;
inline constexpr std::uint32_t kAttachedOdbc = 0x20000000;
inline constexpr std::uint32_t kAttachedTable = 0x40000000;
}  // namespace table_attribute

// A table of the database (local, linked or system), with DAO's members.
class TableDef {
  public:
    virtual ~TableDef() = default;
    virtual std::string Name() const = 0;
    virtual std::string SourceTableName() const = 0;
    virtual std::string ValidationRule() const = 0;
    virtual std::string ValidationText() const = 0;
    virtual std::uint32_t Attributes() const = 0;
    virtual Variant DateCreated() const = 0;
    virtual Variant LastUpdated() const = 0;
    virtual Variant ReplicaFilter() const = 0;
    virtual std::int32_t RecordCount() const = 0;
    virtual bool Updatable() const = 0;
    virtual const Collection<Field>& Fields() const = 0;
    virtual const Collection<Index>& Indexes() const = 0;
    // For a linked table whose source cannot be read, why, as a clause such
    // as "its source database 'Z:\\Data\\Sales.accdb' cannot be found"; its
    // Fields and Indexes then throw SchemaError. Nothing for other tables.
    virtual std::optional<std::string> LinkProblem() const { return std::nullopt; }

  protected:
    TableDef() = default;
    TableDef(const TableDef&) = default;
    TableDef& operator=(const TableDef&) = default;
};

}  // namespace ostrel::schema
