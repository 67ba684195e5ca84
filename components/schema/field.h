#pragma once

#include <cstdint>
#include <string>

#include "components/schema/variant.h"

namespace ostrel::schema {

// DAO data type codes (Field.Type, Parameter.Type).
namespace data_type {
inline constexpr std::int16_t kBoolean = 1;
inline constexpr std::int16_t kByte = 2;
inline constexpr std::int16_t kInteger = 3;
inline constexpr std::int16_t kLong = 4;
inline constexpr std::int16_t kCurrency = 5;
inline constexpr std::int16_t kSingle = 6;
inline constexpr std::int16_t kDouble = 7;
inline constexpr std::int16_t kDate = 8;
inline constexpr std::int16_t kBinary = 9;
inline constexpr std::int16_t kText = 10;
inline constexpr std::int16_t kLongBinary = 11;
inline constexpr std::int16_t kMemo = 12;
inline constexpr std::int16_t kGuid = 15;
inline constexpr std::int16_t kBigInt = 16;
inline constexpr std::int16_t kVarBinary = 17;
inline constexpr std::int16_t kChar = 18;
inline constexpr std::int16_t kNumeric = 19;
inline constexpr std::int16_t kDecimal = 20;
inline constexpr std::int16_t kFloat = 21;
inline constexpr std::int16_t kTime = 22;
inline constexpr std::int16_t kTimeStamp = 23;
// Date/Time Extended (Access 2019 and later).
inline constexpr std::int16_t kDateTimeExtended = 26;
// ACE additions: attachment and multi-valued (complex) columns.
inline constexpr std::int16_t kAttachment = 101;
inline constexpr std::int16_t kComplexByte = 102;
inline constexpr std::int16_t kComplexInteger = 103;
inline constexpr std::int16_t kComplexLong = 104;
inline constexpr std::int16_t kComplexSingle = 105;
inline constexpr std::int16_t kComplexDouble = 106;
inline constexpr std::int16_t kComplexGuid = 107;
inline constexpr std::int16_t kComplexDecimal = 108;
inline constexpr std::int16_t kComplexText = 109;
}  // namespace data_type

// DAO field attribute bits (Field.Attributes).
namespace field_attribute {
inline constexpr std::uint32_t kFixed = 0x0001;
inline constexpr std::uint32_t kVariable = 0x0002;
inline constexpr std::uint32_t kAutoIncrement = 0x0010;
inline constexpr std::uint32_t kUpdatable = 0x0020;
inline constexpr std::uint32_t kSystem = 0x2000;
inline constexpr std::uint32_t kHyperlink = 0x8000;
}  // namespace field_attribute

// A column of a table definition, with DAO's members.
class Field {
  public:
    virtual ~Field() = default;
    virtual std::string Name() const = 0;
    virtual std::string ValidationRule() const = 0;
    virtual std::string ValidationText() const = 0;
    virtual std::uint32_t Attributes() const = 0;
    virtual bool AllowZeroLength() const = 0;
    virtual bool DataUpdatable() const = 0;
    virtual bool Required() const = 0;
    virtual Variant DefaultValue() const = 0;
    virtual std::int16_t OrdinalPosition() const = 0;
    virtual std::int16_t Type() const = 0;
    virtual std::int32_t Size() const = 0;

  protected:
    Field() = default;
    Field(const Field&) = default;
    Field& operator=(const Field&) = default;
};

}  // namespace ostrel::schema
