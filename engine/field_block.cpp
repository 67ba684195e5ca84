#include "engine/field_block.h"

#include <cstdint>

#include "engine/value_text.h"
#include "engine/vocabularies.h"

namespace ostrel::engine {
namespace {

namespace attribute = schema::field_attribute;

bool AppendFieldRows(const schema::Field& field, SectionContext& context, TableText& text) {
    bool appended = false;
    const auto row = [&](std::string_view key, std::string_view label, auto&& value) {
        if (context.SwitchOn(key)) {
            text.AppendRow(label, value());
            appended = true;
        }
    };
    const auto attributeRow = [&](std::string_view key, std::string_view label,
                                  std::uint32_t mask) {
        row(key, label, [&] { return BoolText((field.Attributes() & mask) == mask); });
    };
    row("Field AllowZeroLength", "AllowZeroLength",
        [&] { return BoolText(field.AllowZeroLength()); });
    attributeRow("Field AutoIncrement", "AutoIncrField", attribute::kAutoIncrement);
    row("Field DataUpdatable", "DataUpdatable", [&] { return BoolText(field.DataUpdatable()); });
    row("Field DefaultValue", "DefaultValue",
        [&] { return VariantText(field.DefaultValue(), context.formatter); });
    attributeRow("Field FixedField", "FixedField", attribute::kFixed);
    attributeRow("Field HyperlinkField", "HyperlinkField", attribute::kHyperlink);
    row("Field OrdinalPosition", "OrdinalPosition",
        [&] { return IntegerText(field.OrdinalPosition()); });
    row("Field Required", "Required", [&] { return BoolText(field.Required()); });
    row("Field Size", "Size", [&] { return IntegerText(field.Size()); });
    attributeRow("Field SystemField", "SystemField", attribute::kSystem);
    row("Field Type", "Type", [&] { return FieldTypeName(field.Type()); });
    attributeRow("Field UpdatableField", "UpdatableField", attribute::kUpdatable);
    row("Field ValidationRule", "ValidationRule", [&] { return field.ValidationRule(); });
    row("Field ValidationText", "ValidationText", [&] { return field.ValidationText(); });
    attributeRow("Field VariableField", "VariableField", attribute::kVariable);
    return appended;
}

}  // namespace

bool AppendFieldBlocks(const schema::TableDef& table, SectionContext& context,
                       TableText& fieldText) {
    bool appended = false;
    const int count = table.Fields().Count();
    for (int j = 0; j < count; ++j) {
        context.place.Member("field", j);
        const schema::Field& field = table.Fields().Item(j);
        const std::string name = field.Name();
        context.place.MemberName(name);
        fieldText.AppendCaption("Field - ", name);
        appended = AppendFieldRows(field, context, fieldText) || appended;
        fieldText.EndRow();
    }
    return appended;
}

}  // namespace ostrel::engine
