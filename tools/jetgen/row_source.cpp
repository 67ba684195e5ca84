#include "tools/jetgen/row_source.h"

#include <algorithm>
#include <string>

namespace ostrel::jetgen {

namespace {

std::uint64_t Mix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

const char* const kWords[] = {"north",  "harbour", "amber",   "willow",  "copper", "linden",
                              "meadow", "granite", "saffron", "juniper", "cobalt", "thistle"};

std::uint64_t Fnv(const std::string& s) {
    std::uint64_t h = 1469598103934665603ULL;
    for (const char ch : s) {
        h = (h ^ static_cast<unsigned char>(ch)) * 1099511628211ULL;
    }
    return h;
}

std::string Words(std::uint64_t h, std::size_t maxChars) {
    std::string s;
    while (s.size() < maxChars) {
        if (!s.empty()) {
            s += ' ';
        }
        s += kWords[h % 12];
        h = Mix(h);
    }
    s.resize(maxChars);
    while (!s.empty() && s.back() == ' ') {
        s.pop_back();
    }
    return s;
}

}  // namespace

Cell GeneratedCell(const ColumnDescription& c, std::int64_t row, std::uint32_t seed) {
    const std::uint64_t h = Mix((static_cast<std::uint64_t>(row) << 16) ^
                                (static_cast<std::uint64_t>(seed) << 48) ^ Fnv(c.name));
    switch (c.type) {
        case ColumnType::Boolean:
            return Cell::Bool((h & 1) != 0);
        case ColumnType::Byte:
            return Cell::Int(static_cast<std::int64_t>(h % 256));
        case ColumnType::Integer:
            return Cell::Int(static_cast<std::int64_t>(h % 30000));
        case ColumnType::Long:
            if (c.autoNumber) {
                return Cell::Null();
            }
            return Cell::Int(static_cast<std::int64_t>(row % 1000000) + 1);
        case ColumnType::Currency:
            return Cell::Int(static_cast<std::int64_t>(h % 100000000));
        case ColumnType::Single:
        case ColumnType::Double:
            return Cell::Real(static_cast<double>(h % 1000000) / 100.0);
        case ColumnType::DateTime:
            return Cell::Real(36526.0 + static_cast<double>(h % 9000) +
                              static_cast<double>((h >> 20) % 86400) / 86400.0);
        case ColumnType::Binary: {
            const std::size_t n = std::min<std::size_t>(c.size > 0 ? c.size : 255, 8);
            std::string b(n, '\0');
            for (std::size_t i = 0; i < n; ++i) {
                b[i] = static_cast<char>((h >> (8 * i)) & 0xFF);
            }
            return Cell::Blob(std::move(b));
        }
        case ColumnType::Text: {
            const auto size = static_cast<std::size_t>(c.size > 0 ? c.size : 50);
            return Cell::Text(Words(h, std::min<std::size_t>(size, 8 + h % 24)));
        }
        case ColumnType::Memo:
            if (c.hyperlink) {
                return Cell::Text("Site " + std::to_string(row) + "#http://example.com/" +
                                  std::to_string(h % 1000) + "#");
            }
            return Cell::Text(Words(h, row % 10 == 0 ? 300 : 40));
        case ColumnType::Ole: {
            std::string b(24, '\0');
            for (std::size_t i = 0; i < b.size(); ++i) {
                b[i] = static_cast<char>(Mix(h + i) & 0xFF);
            }
            return Cell::Blob(std::move(b));
        }
        case ColumnType::Guid: {
            std::string b(16, '\0');
            const std::uint64_t h2 = Mix(h);
            for (std::size_t i = 0; i < 8; ++i) {
                b[i] = static_cast<char>((h >> (8 * i)) & 0xFF);
                b[8 + i] = static_cast<char>((h2 >> (8 * i)) & 0xFF);
            }
            return Cell::Blob(std::move(b));
        }
        case ColumnType::Decimal: {
            const int whole = std::max(1, std::min(9, c.precision - c.scale));
            std::uint64_t limit = 1;
            for (int i = 0; i < whole; ++i) {
                limit *= 10;
            }
            std::string s = std::to_string(h % limit);
            if (c.scale > 0) {
                std::string frac = std::to_string((h >> 32) % 1000000000);
                frac.resize(static_cast<std::size_t>(c.scale), '0');
                s += "." + frac;
            }
            return Cell::Text(s);
        }
        default:
            return Cell::Null();
    }
}

bool RowSource::Next(Row& row) {
    if (given_ < table_.rows.size()) {
        row = table_.rows[given_++];
        return true;
    }
    if (generated_ < table_.generated.count) {
        row.resize(table_.columns.size());
        const std::int64_t index = static_cast<std::int64_t>(table_.rows.size()) + generated_;
        for (std::size_t i = 0; i < table_.columns.size(); ++i) {
            row[i] = GeneratedCell(table_.columns[i], index, table_.generated.seed);
        }
        ++generated_;
        return true;
    }
    return false;
}

}  // namespace ostrel::jetgen
