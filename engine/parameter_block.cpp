#include "engine/parameter_block.h"

namespace ostrel::engine {

bool AppendParameterBlocks(const schema::QueryDef& query, SectionContext& context,
                           TableText& parameterText) {
    bool appended = false;
    const int count = query.Parameters().Count();
    for (int i = 0; i < count; ++i) {
        context.place.Member("parameter", i);
        const schema::Parameter& parameter = query.Parameters().Item(i);
        const std::string name = parameter.Name();
        context.place.MemberName(name);
        parameterText.AppendCaption("Parameter - ", name);
        appended = context.AppendRows(parameterText, ParameterRows(parameter, context.switches)) ||
                   appended;
    }
    return appended;
}

}  // namespace ostrel::engine
