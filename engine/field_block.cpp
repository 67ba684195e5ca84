#include "engine/field_block.h"

namespace ostrel::engine {

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
        appended = context.AppendRows(fieldText, FieldRows(field, context.switches)) || appended;
        fieldText.EndRow();
    }
    return appended;
}

}  // namespace ostrel::engine
