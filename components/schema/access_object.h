#pragma once

#include <optional>
#include <string>

#include "components/schema/variant.h"

namespace ostrel::schema {

// What an application object is, as Access's Forms, Reports and Scripts
// containers hold them.
enum class AccessObjectKind { Form, Report, Macro };

// A form, report or macro of the database: its catalog entry and what can be
// read of its stored design with certainty.
class AccessObject {
  public:
    virtual ~AccessObject() = default;
    // As stored; names beginning with "~" are Access's temporary objects.
    virtual std::string Name() const = 0;
    virtual AccessObjectKind Kind() const = 0;
    virtual Variant DateCreated() const = 0;
    virtual Variant LastUpdated() const = 0;
    // Forms and reports: whether the VBA project holds the object's
    // code-behind module (Form_<Name> or Report_<Name>). False for macros.
    virtual bool HasModule() const = 0;
    // A macro that Access 2010 or later keeps as XML: that XML text, joined
    // where the store splits it. Nothing for a binary macro, a form or a
    // report.
    virtual std::optional<std::string> MacroXml() const = 0;
    // Why part of the object could not be read (its store, or the VBA project
    // that holds its module), as a sentence; nothing when all was read.
    virtual std::optional<std::string> Problem() const = 0;

  protected:
    AccessObject() = default;
    AccessObject(const AccessObject&) = default;
    AccessObject& operator=(const AccessObject&) = default;
};

}  // namespace ostrel::schema
