#include "engine/index_block.h"

#include "engine/replace_char.h"
#include "engine/value_text.h"

namespace ostrel::engine {
namespace {

bool AppendIndexRows(const schema::Index& index, SectionContext& context, TableText& text) {
    bool appended = false;
    const auto row = [&](std::string_view key, std::string_view label, auto&& value) {
        if (context.SwitchOn(key)) {
            text.AppendRow(label, value());
            appended = true;
        }
    };
    row("Index Clustered", "Clustered", [&] { return BoolText(index.Clustered()); });
    row("Index DistinctCount", "DistinctCount", [&] { return IntegerText(index.DistinctCount()); });
    // In the preview the ";" between the index's fields would end the table
    // row, so each becomes a line break inside the cell. The CSV's row
    // separator is two characters and matches nothing: the list stays as it is.
    row("Index Fields", "Fields", [&] {
        return ReplaceChar(VariantText(index.Fields(), context.formatter),
                           context.writer.RowSeparator(), "\r");
    });
    row("Index Foreign", "Foreign", [&] { return BoolText(index.Foreign()); });
    row("Index IgnoreNulls", "IgnoreNulls", [&] { return BoolText(index.IgnoreNulls()); });
    row("Index Primary", "Primary", [&] { return BoolText(index.Primary()); });
    row("Index Required", "Required", [&] { return BoolText(index.Required()); });
    row("Index Unique", "Unique", [&] { return BoolText(index.Unique()); });
    return appended;
}

}  // namespace

bool AppendIndexBlocks(const schema::TableDef& table, SectionContext& context,
                       TableText& indexText) {
    bool appended = false;
    const int count = table.Indexes().Count();
    for (int k = 0; k < count; ++k) {
        context.place.Member("index", k);
        const schema::Index& index = table.Indexes().Item(k);
        const std::string name = index.Name();
        context.place.MemberName(name);
        indexText.AppendCaption("Index - ", name);
        appended = AppendIndexRows(index, context, indexText) || appended;
        indexText.EndRow();
    }
    return appended;
}

}  // namespace ostrel::engine
