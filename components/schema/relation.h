#pragma once

#include <cstdint>
#include <string>

#include "components/schema/collection.h"

namespace ostrel::schema {

// DAO relation attribute bits (Relation.Attributes).
namespace relation_attribute {
inline constexpr std::uint32_t kUnique = 0x00000001;
inline constexpr std::uint32_t kDontEnforce = 0x00000002;
inline constexpr std::uint32_t kInherited = 0x00000004;
inline constexpr std::uint32_t kUpdateCascade = 0x00000100;
inline constexpr std::uint32_t kDeleteCascade = 0x00001000;
inline constexpr std::uint32_t kLeft = 0x01000000;
inline constexpr std::uint32_t kRight = 0x02000000;
}  // namespace relation_attribute

// A field of a relation: its name on the primary side and on the foreign side.
class RelationField {
  public:
    virtual ~RelationField() = default;
    virtual std::string Name() const = 0;
    virtual std::string ForeignName() const = 0;

  protected:
    RelationField() = default;
    RelationField(const RelationField&) = default;
    RelationField& operator=(const RelationField&) = default;
};

// A relationship between two tables, with DAO's members. Table is the primary
// side, ForeignTable the side that refers to it.
class Relation {
  public:
    virtual ~Relation() = default;
    virtual std::string Name() const = 0;
    virtual std::string Table() const = 0;
    virtual std::string ForeignTable() const = 0;
    virtual std::uint32_t Attributes() const = 0;
    virtual bool PartialReplica() const = 0;
    virtual const Collection<RelationField>& Fields() const = 0;

  protected:
    Relation() = default;
    Relation(const Relation&) = default;
    Relation& operator=(const Relation&) = default;
};

}  // namespace ostrel::schema
