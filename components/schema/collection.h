#pragma once

namespace ostrel::schema {

// A DAO collection: a count and items by zero-based position, in the order the
// engine lists them. Item throws SchemaError for a position outside 0..Count-1.
template <class T>
class Collection {
  public:
    virtual ~Collection() = default;
    virtual int Count() const = 0;
    virtual const T& Item(int index) const = 0;

  protected:
    Collection() = default;
    Collection(const Collection&) = default;
    Collection& operator=(const Collection&) = default;
};

}  // namespace ostrel::schema
