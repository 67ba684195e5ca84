#include "engine/html_code.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

#include "engine/html_text.h"

namespace ostrel::engine {
namespace {

// Visual Basic's reserved words that a reader looks for, in lower case.
constexpr std::array<std::string_view, 62> kKeywords{
    "and",    "as",       "boolean", "byref",    "byte",    "byval",   "call",     "case",
    "const",  "currency", "date",    "declare",  "dim",     "do",      "double",   "each",
    "else",   "elseif",   "end",     "enum",     "error",   "exit",    "explicit", "false",
    "for",    "function", "get",     "goto",     "if",      "in",      "integer",  "is",
    "let",    "long",     "loop",    "me",       "new",     "next",    "not",      "nothing",
    "object", "on",       "option",  "optional", "or",      "private", "property", "public",
    "redim",  "resume",   "select",  "set",      "single",  "static",  "string",   "sub",
    "then",   "to",       "true",    "type",     "variant", "while"};

bool IsKeyword(std::string_view word) {
    std::string lower(word);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return std::find(kKeywords.begin(), kKeywords.end(), lower) != kKeywords.end();
}

// Bytes of multi-byte characters belong to words, so that a character is
// never split.
bool IsWordChar(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return std::isalnum(byte) != 0 || c == '_' || byte >= 0x80;
}

void Span(std::string& out, const char* cls, std::string_view text) {
    out += "<span class=\"";
    out += cls;
    out += "\">";
    AppendHtmlEscaped(out, text);
    out += "</span>";
}

// One line of Visual Basic with its comments, strings and keywords marked.
void AppendCodeLine(std::string& out, std::string_view line) {
    std::size_t i = 0;
    bool statementStart = true;
    while (i < line.size()) {
        const char c = line[i];
        if (c == '\'' || (statementStart && line.substr(i, 4) == "Rem ")) {
            Span(out, "c", line.substr(i));
            return;
        }
        if (c == '"') {
            std::size_t end = i + 1;
            while (end < line.size()) {
                if (line[end] == '"' && (end + 1 >= line.size() || line[end + 1] != '"')) {
                    break;
                }
                end += line[end] == '"' ? 2 : 1;
            }
            end = std::min(end + 1, line.size());
            Span(out, "s", line.substr(i, end - i));
            i = end;
            statementStart = false;
            continue;
        }
        if (IsWordChar(c)) {
            std::size_t end = i;
            while (end < line.size() && IsWordChar(line[end])) {
                ++end;
            }
            const std::string_view word = line.substr(i, end - i);
            if (IsKeyword(word)) {
                Span(out, "k", word);
            } else {
                AppendHtmlEscaped(out, word);
            }
            i = end;
            statementStart = false;
            continue;
        }
        if (c == ':') {
            statementStart = true;
        } else if (c != ' ' && c != '\t') {
            statementStart = false;
        }
        AppendHtmlEscaped(out, line.substr(i, 1));
        ++i;
    }
}

}  // namespace

std::string CodeBlockHtml(const ObjectText& text) {
    const bool code = text.form == ObjectText::Form::Code;
    std::string out = code ? "<pre class=\"code\"><code class=\"vba\">"
                           : "<pre class=\"code\"><code class=\"xml\">";
    // Numbered as the editor numbers them: its hidden header (a module's
    // attributes) is left out, as in the paged form; the embedded data keeps it.
    std::string_view rest = text.Shown();
    int number = text.firstLine;
    while (!rest.empty()) {
        std::size_t end = rest.find_first_of("\r\n");
        const std::string_view line = rest.substr(0, end);
        out += "<span class=\"no\" aria-hidden=\"true\">" + std::to_string(number++) + "</span>";
        if (code) {
            AppendCodeLine(out, line);
        } else {
            AppendHtmlEscaped(out, line);
        }
        out += '\n';
        if (end == std::string_view::npos) {
            break;
        }
        end += (rest[end] == '\r' && end + 1 < rest.size() && rest[end + 1] == '\n') ? 2 : 1;
        rest.remove_prefix(end);
    }
    return out + "</code></pre>\n";
}

}  // namespace ostrel::engine
