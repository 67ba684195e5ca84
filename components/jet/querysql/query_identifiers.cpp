#include "components/jet/querysql/query_identifiers.h"

#include "components/jet/object_names.h"

#include <algorithm>
#include <cstddef>
#include <vector>

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

void AppendParameterName(std::string& out, std::string_view name) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t bang = name.find('!', start);
        parts.push_back(name.substr(start, bang == std::string_view::npos ? bang : bang - start));
        if (bang == std::string_view::npos) {
            break;
        }
        start = bang + 1;
    }
    const auto isCollection = [](std::string_view part) {
        return SameName(part, "Forms") || SameName(part, "Reports");
    };
    const bool reference = parts.size() > 1 && isCollection(parts.front()) &&
                           std::none_of(parts.begin(), parts.end(),
                                        [](std::string_view part) { return part.empty(); });
    if (!reference) {
        AppendPart(out, name);
        return;
    }
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) {
            out.push_back('!');
        }
        AppendPart(out, parts[i]);
    }
}

}  // namespace ostrel::jet::querysql
