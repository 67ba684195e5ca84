#pragma once

#include <cstdint>
#include <string>

#include "components/schema/variant.h"

namespace ostrel::schema {

// An index of a table definition, with DAO's members.
class Index {
  public:
    virtual ~Index() = default;
    virtual std::string Name() const = 0;
    virtual bool Clustered() const = 0;
    virtual bool Foreign() const = 0;
    virtual bool IgnoreNulls() const = 0;
    virtual bool Primary() const = 0;
    virtual bool Required() const = 0;
    virtual bool Unique() const = 0;
    virtual std::int32_t DistinctCount() const = 0;
    // DAO's text form of the index's fields: each name with "+" (ascending) or
    // "-" (descending) in front, joined by ";", e.g. "+CustomerID;-OrderDate".
    virtual Variant Fields() const = 0;

  protected:
    Index() = default;
    Index(const Index&) = default;
    Index& operator=(const Index&) = default;
};

}  // namespace ostrel::schema
