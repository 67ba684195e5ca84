#include "components/document/table_data.h"

#include <algorithm>
#include <charconv>
#include <cstddef>

namespace ostrel::document {
namespace {

constexpr int kDefaultTableTwips = 10000;
// Anything wider than this is not a column width a report would ask for.
constexpr int kMaxColumnTwips = 1440 * 100;

// Reads the widths before the first ";". Returns an empty list when any entry
// is not a positive number within reason.
std::vector<int> ParseFormat(std::string_view format) {
    std::vector<int> widths;
    std::size_t start = 0;
    while (start <= format.size()) {
        std::size_t end = format.find('|', start);
        if (end == std::string_view::npos) {
            end = format.size();
        }
        std::string_view entry = format.substr(start, end - start);
        while (!entry.empty() && entry.front() == ' ') {
            entry.remove_prefix(1);
        }
        while (!entry.empty() && entry.back() == ' ') {
            entry.remove_suffix(1);
        }
        int value = 0;
        const char* first = entry.data();
        const char* last = first + entry.size();
        auto [ptr, ec] = std::from_chars(first, last, value);
        if (entry.empty() || ec != std::errc() || ptr != last || value <= 0 ||
            value > kMaxColumnTwips) {
            return {};
        }
        widths.push_back(value);
        start = end + 1;
    }
    return widths;
}

}  // namespace

TableData ParseTableText(std::string_view text) {
    TableData table;
    const std::size_t formatEnd = text.find(';');
    std::string_view body;
    if (formatEnd == std::string_view::npos) {
        table.columnTwips = ParseFormat(text);
    } else {
        table.columnTwips = ParseFormat(text.substr(0, formatEnd));
        body = text.substr(formatEnd + 1);
    }

    std::vector<std::string> row;
    std::string cell;
    bool rowOpen = false;
    for (std::size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (c == '\\' && i + 1 < body.size() &&
            (body[i + 1] == '|' || body[i + 1] == ';' || body[i + 1] == '\\')) {
            cell.push_back(body[i + 1]);
            ++i;
            rowOpen = true;
        } else if (c == '|') {
            row.push_back(std::move(cell));
            cell.clear();
            rowOpen = true;
        } else if (c == ';') {
            row.push_back(std::move(cell));
            cell.clear();
            table.rows.push_back(std::move(row));
            row.clear();
            rowOpen = false;
        } else {
            cell.push_back(c);
            rowOpen = true;
        }
    }
    if (rowOpen) {
        row.push_back(std::move(cell));
        table.rows.push_back(std::move(row));
    }

    FitRowsToColumns(table);
    return table;
}

void FitRowsToColumns(TableData& table) {
    std::size_t widest = 1;
    for (const auto& r : table.rows) {
        widest = std::max(widest, r.size());
    }
    if (table.columnTwips.empty()) {
        const int each = kDefaultTableTwips / static_cast<int>(widest);
        table.columnTwips.assign(widest, std::max(each, 1));
    }
    const std::size_t columns = table.columnTwips.size();
    for (auto& r : table.rows) {
        if (r.size() > columns) {
            std::string& last = r[columns - 1];
            for (std::size_t k = columns; k < r.size(); ++k) {
                last.push_back('|');
                last += r[k];
            }
        }
        r.resize(columns);
    }
}

std::string TableDataText(const TableData& table) {
    std::string text;
    for (std::size_t i = 0; i < table.columnTwips.size(); ++i) {
        text += (i == 0 ? "" : "|") + std::to_string(table.columnTwips[i]);
    }
    text.push_back(';');
    for (const auto& row : table.rows) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c > 0) {
                text.push_back('|');
            }
            for (const char ch : row[c]) {
                if (ch == '|' || ch == ';' || ch == '\\') {
                    text.push_back('\\');
                }
                text.push_back(ch);
            }
        }
        text.push_back(';');
    }
    return text;
}

}  // namespace ostrel::document
