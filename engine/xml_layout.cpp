#include "engine/xml_layout.h"

#include <algorithm>
#include <vector>

namespace ostrel::engine {
namespace {

enum class TokenKind { Open, Close, Empty, Other, Text };

struct Token {
    TokenKind kind;
    std::string_view text;
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// The end of the markup that starts at `at` (a '<'): past its closing
// delimiter, or the end of the text when it has none.
std::size_t MarkupEnd(std::string_view xml, std::size_t at) {
    const auto past = [&](std::string_view close) {
        const std::size_t found = xml.find(close, at);
        return found == std::string_view::npos ? xml.size() : found + close.size();
    };
    if (xml.substr(at).starts_with("<!--")) {
        return past("-->");
    }
    if (xml.substr(at).starts_with("<![CDATA[")) {
        return past("]]>");
    }
    // A tag ends at the first '>' outside its quoted attribute values.
    char quote = 0;
    for (std::size_t i = at + 1; i < xml.size(); ++i) {
        const char c = xml[i];
        if (quote != 0) {
            if (c == quote) {
                quote = 0;
            }
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return i + 1;
        }
    }
    return xml.size();
}

TokenKind KindOf(std::string_view markup) {
    if (markup.starts_with("</")) {
        return TokenKind::Close;
    }
    if (markup.starts_with("<!") || markup.starts_with("<?")) {
        return TokenKind::Other;
    }
    return markup.ends_with("/>") ? TokenKind::Empty : TokenKind::Open;
}

std::vector<Token> Tokens(std::string_view xml) {
    std::vector<Token> tokens;
    std::size_t at = 0;
    while (at < xml.size()) {
        if (xml[at] == '<') {
            const std::size_t end = MarkupEnd(xml, at);
            const std::string_view markup = xml.substr(at, end - at);
            tokens.push_back(
                {markup.starts_with("<![CDATA[") ? TokenKind::Text : KindOf(markup), markup});
            at = end;
        } else {
            const std::size_t end = std::min(xml.find('<', at), xml.size());
            const std::string_view text = Trim(xml.substr(at, end - at));
            if (!text.empty()) {
                tokens.push_back({TokenKind::Text, text});
            }
            at = end;
        }
    }
    return tokens;
}

}  // namespace

std::string LayOutXml(std::string_view xml) {
    const std::vector<Token> tokens = Tokens(xml);
    std::string out;
    out.reserve(xml.size() + xml.size() / 4);
    std::size_t depth = 0;
    const auto line = [&](std::size_t level) {
        if (!out.empty()) {
            out.push_back('\n');
        }
        out.append(2 * level, ' ');
    };
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        switch (token.kind) {
            case TokenKind::Open:
                line(depth);
                out.append(token.text);
                // <a>text</a> stays on one line.
                if (i + 2 < tokens.size() && tokens[i + 1].kind == TokenKind::Text &&
                    tokens[i + 2].kind == TokenKind::Close) {
                    out.append(tokens[i + 1].text);
                    out.append(tokens[i + 2].text);
                    i += 2;
                } else if (i + 1 < tokens.size() && tokens[i + 1].kind == TokenKind::Close) {
                    out.append(tokens[i + 1].text);
                    i += 1;
                } else {
                    ++depth;
                }
                break;
            case TokenKind::Close:
                depth = depth > 0 ? depth - 1 : 0;
                line(depth);
                out.append(token.text);
                break;
            case TokenKind::Empty:
            case TokenKind::Other:
            case TokenKind::Text:
                line(depth);
                out.append(token.text);
                break;
        }
    }
    if (!out.empty()) {
        out.push_back('\n');
    }
    return out;
}

}  // namespace ostrel::engine
