#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "components/schema/access_object.h"
#include "components/schema/variant.h"

namespace ostrel::schema {

// The kinds of module a VBA project holds: standard modules, class modules,
// the code-behind modules of forms and reports (documents) and designers.
enum class VbaModuleKind { Standard, Class, Document, Designer };

// The form or report a document module belongs to.
struct ModuleOwner {
    AccessObjectKind kind = AccessObjectKind::Form;
    std::string name;
    friend bool operator==(const ModuleOwner&, const ModuleOwner&) = default;
};

// A module of the database's VBA project.
class VbaModule {
  public:
    virtual ~VbaModule() = default;
    virtual std::string Name() const = 0;
    virtual VbaModuleKind Kind() const = 0;
    // For Form_<Name> and Report_<Name>: that form or report.
    virtual std::optional<ModuleOwner> Owner() const = 0;
    // The catalog's dates of standard and class modules; Null for modules
    // without a catalog entry (those of forms and reports).
    virtual Variant DateCreated() const = 0;
    virtual Variant LastUpdated() const = 0;
    // The Windows code page the project stores its text in.
    virtual int CodePage() const = 0;
    // The whole stored text, hidden "Attribute VB_" header included, decoded
    // to UTF-8 with line ends as stored. Throws SchemaError when it cannot be
    // read (Problem says why).
    virtual std::string Source() const = 0;
    // The lines the VBA editor shows: VisibleLineCount of Source; 0 when the
    // source cannot be read.
    virtual int LineCount() const = 0;
    // Why the module could not be read, as a sentence; nothing when it was.
    virtual std::optional<std::string> Problem() const = 0;

  protected:
    VbaModule() = default;
    VbaModule(const VbaModule&) = default;
    VbaModule& operator=(const VbaModule&) = default;
};

// The length of the hidden header at the start of a module's text, which the
// VBA editor does not show: an optional "VERSION ..." line with its
// "BEGIN" ... "END" block (as exported class modules carry), then the leading
// lines that start with "Attribute VB_".
std::size_t HiddenHeaderLength(std::string_view source);

// The number of lines of source after its hidden header, as the VBA editor
// counts them: CR LF, a lone CR and a lone LF each end a line, and a final
// line end does not start another line.
int VisibleLineCount(std::string_view source);

}  // namespace ostrel::schema
