#include "components/jet/sql/query_identifiers.h"

#include <cstddef>

namespace ostrel::jet::querysql {
namespace {

bool IsPlainNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool IsBracketed(std::string_view text) {
    return text.size() >= 2 && text.front() == '[' && text.back() == ']';
}

void AppendPart(std::string& out, std::string_view part) {
    for (const char c : part) {
        if (!IsPlainNameChar(c)) {
            AppendBracketed(out, part);
            return;
        }
    }
    out.append(part);
}

}  // namespace

void AppendBracketed(std::string& out, std::string_view text) {
    if (IsBracketed(text)) {
        out.append(text);
        return;
    }
    out.push_back('[');
    out.append(text);
    out.push_back(']');
}

void AppendName(std::string& out, std::string_view name, bool perPart) {
    if (!perPart) {
        AppendPart(out, name);
        return;
    }
    std::size_t start = 0;
    while (true) {
        const std::size_t dot = name.find('.', start);
        AppendPart(out, name.substr(start, dot == std::string_view::npos ? dot : dot - start));
        if (dot == std::string_view::npos) {
            return;
        }
        out.push_back('.');
        start = dot + 1;
    }
}

}  // namespace ostrel::jet::querysql
