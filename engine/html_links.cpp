#include "engine/html_links.h"

#include <array>
#include <cctype>

#include "engine/html_text.h"

namespace ostrel::engine {
namespace {

bool IsNameChar(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return std::isalnum(byte) != 0 || c == '_' || byte >= 0x80;
}

bool SameWord(std::string_view word, std::string_view keyword) {
    if (word.size() != keyword.size()) {
        return false;
    }
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(word[i])) != keyword[i]) {
            return false;
        }
    }
    return true;
}

bool OneOf(std::string_view word, std::initializer_list<std::string_view> keywords) {
    for (const std::string_view keyword : keywords) {
        if (SameWord(word, keyword)) {
            return true;
        }
    }
    return false;
}

// The length of the token at the start of text: a bracketed name, a quoted
// string, a run of name characters, or one other character (also an opening
// bracket or quote that is never closed).
std::size_t TokenLength(std::string_view text) {
    const char first = text.front();
    if (first == '[' || first == '\'' || first == '"') {
        const char close = first == '[' ? ']' : first;
        const std::size_t end = text.find(close, 1);
        return end == std::string_view::npos ? 1 : end + 1;
    }
    std::size_t length = 1;
    if (IsNameChar(first)) {
        while (length < text.size() && IsNameChar(text[length])) {
            ++length;
        }
    }
    return length;
}

}  // namespace

std::string SqlHtml(std::string_view sql, const AnchorLookup& anchorOf) {
    std::string out;
    bool source = false;  // after FROM, JOIN, INTO or UPDATE, before the next clause
    while (!sql.empty()) {
        const std::size_t length = TokenLength(sql);
        const std::string_view token = sql.substr(0, length);
        sql.remove_prefix(length);
        const bool bracketed = token.size() >= 2 && token.front() == '[' && token.back() == ']';
        if (!bracketed && IsNameChar(token.front())) {
            if (OneOf(token, {"FROM", "JOIN", "INTO", "UPDATE"})) {
                source = true;
            } else if (OneOf(token, {"WHERE", "ON", "SET", "GROUP", "ORDER", "HAVING", "SELECT",
                                     "VALUES", "UNION", "TRANSFORM", "PIVOT", "IN"})) {
                source = false;
            }
        }
        std::optional<std::string> anchor;
        if (source && (bracketed || IsNameChar(token.front()))) {
            anchor = anchorOf(bracketed ? token.substr(1, token.size() - 2) : token);
        }
        if (anchor) {
            out += "<a href=\"#" + *anchor + "\">";
            AppendHtmlEscaped(out, token);
            out += "</a>";
        } else {
            AppendHtmlEscaped(out, token);
        }
        if (token == ";") {
            source = false;
        }
    }
    return out;
}

}  // namespace ostrel::engine
