#pragma once

#include <cstdint>
#include <string>

#include "components/schema/collection.h"
#include "components/schema/variant.h"

namespace ostrel::schema {

// DAO query type codes (QueryDef.Type).
namespace query_type {
inline constexpr std::int16_t kSelect = 0;
inline constexpr std::int16_t kCrosstab = 16;
inline constexpr std::int16_t kDelete = 32;
inline constexpr std::int16_t kUpdate = 48;
inline constexpr std::int16_t kAppend = 64;
inline constexpr std::int16_t kMakeTable = 80;
inline constexpr std::int16_t kDataDefinition = 96;
inline constexpr std::int16_t kPassThrough = 112;
inline constexpr std::int16_t kUnion = 128;
}  // namespace query_type

// DAO parameter directions (Parameter.Direction).
namespace parameter_direction {
inline constexpr std::int16_t kInput = 1;
inline constexpr std::int16_t kOutput = 2;
inline constexpr std::int16_t kInputOutput = 3;
inline constexpr std::int16_t kReturnValue = 4;
}  // namespace parameter_direction

// A declared parameter of a query.
class Parameter {
  public:
    virtual ~Parameter() = default;
    virtual std::string Name() const = 0;
    virtual std::int16_t Direction() const = 0;
    virtual std::int16_t Type() const = 0;

  protected:
    Parameter() = default;
    Parameter(const Parameter&) = default;
    Parameter& operator=(const Parameter&) = default;
};

// A saved query, with DAO's members. SQL is the statement as Access's SQL view
// shows it, lines joined with CR LF.
class QueryDef {
  public:
    virtual ~QueryDef() = default;
    virtual std::string Name() const = 0;
    virtual std::string SQL() const = 0;
    virtual Variant DateCreated() const = 0;
    virtual Variant LastUpdated() const = 0;
    virtual std::int32_t MaxRecords() const = 0;
    virtual std::int16_t ODBCTimeout() const = 0;
    virtual std::int16_t Type() const = 0;
    virtual bool ReturnsRecords() const = 0;
    virtual bool Updatable() const = 0;
    virtual const Collection<Parameter>& Parameters() const = 0;

  protected:
    QueryDef() = default;
    QueryDef(const QueryDef&) = default;
    QueryDef& operator=(const QueryDef&) = default;
};

}  // namespace ostrel::schema
