#include "engine/index_block.h"

namespace ostrel::engine {

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
        appended = context.AppendRows(indexText, IndexRows(index, context.switches)) || appended;
        indexText.EndRow();
    }
    return appended;
}

}  // namespace ostrel::engine
