#include "components/schema/vba_module.h"

namespace ostrel::schema {
namespace {

// One line of text from `from`: where its text ends and where the next line
// starts (after CR LF, CR or LF).
struct Line {
    std::size_t end = 0;
    std::size_t next = 0;
};

Line LineAt(std::string_view text, std::size_t from) {
    const std::size_t end = std::min(text.find_first_of("\r\n", from), text.size());
    std::size_t next = end;
    if (next < text.size()) {
        next += text[next] == '\r' && next + 1 < text.size() && text[next + 1] == '\n' ? 2 : 1;
    }
    return {end, next};
}

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.remove_suffix(1);
    }
    return s;
}

// Past a leading "VERSION" line and its "BEGIN" ... "END" block; 0 when the
// text does not start with a complete one.
std::size_t PastVersionBlock(std::string_view text) {
    if (!text.starts_with("VERSION ")) {
        return 0;
    }
    Line line = LineAt(text, 0);
    if (line.next >= text.size() ||
        Trimmed(text.substr(line.next, LineAt(text, line.next).end - line.next)) != "BEGIN") {
        return 0;
    }
    line = LineAt(text, line.next);
    while (line.next < text.size()) {
        const std::size_t start = line.next;
        line = LineAt(text, start);
        if (Trimmed(text.substr(start, line.end - start)) == "END") {
            return line.next;
        }
    }
    return 0;
}

}  // namespace

std::size_t HiddenHeaderLength(std::string_view source) {
    std::size_t pos = PastVersionBlock(source);
    while (pos < source.size() && source.substr(pos).starts_with("Attribute VB_")) {
        pos = LineAt(source, pos).next;
    }
    return pos;
}

int VisibleLineCount(std::string_view source) {
    const std::string_view code = source.substr(HiddenHeaderLength(source));
    int lines = 1;
    for (std::size_t pos = 0; pos < code.size();) {
        const Line line = LineAt(code, pos);
        if (line.next == line.end) {
            break;  // the last line has no line end
        }
        if (line.next < code.size()) {
            ++lines;
        }
        pos = line.next;
    }
    return lines;
}

}  // namespace ostrel::schema
