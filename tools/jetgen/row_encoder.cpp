#include "tools/jetgen/row_encoder.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

#include "tools/jetgen/generator_error.h"
#include "tools/jetgen/text_codec.h"

namespace ostrel::jetgen {

namespace {

[[noreturn]] void Unsuitable(const TableLayout& t, const ColumnLayout& c, const char* why) {
    throw GeneratorError("table \"" + t.name + "\", column \"" + c.name + "\": " + why);
}

std::int64_t AsInteger(const TableLayout& t, const ColumnLayout& c, const Cell& cell,
                       std::int64_t low, std::int64_t high) {
    std::int64_t v = 0;
    if (cell.kind == Cell::Kind::Int) {
        v = cell.integer;
    } else if (cell.kind == Cell::Kind::Bool) {
        v = cell.boolean ? -1 : 0;
    } else if (cell.kind == Cell::Kind::Real && std::trunc(cell.real) == cell.real &&
               std::abs(cell.real) < 9.0e18) {
        v = static_cast<std::int64_t>(cell.real);
    } else {
        Unsuitable(t, c, "expects a whole number");
    }
    if (v < low || v > high) {
        Unsuitable(t, c, "value out of range");
    }
    return v;
}

double AsReal(const TableLayout& t, const ColumnLayout& c, const Cell& cell) {
    if (cell.kind == Cell::Kind::Real) {
        return cell.real;
    }
    if (cell.kind == Cell::Kind::Int) {
        return static_cast<double>(cell.integer);
    }
    Unsuitable(t, c, "expects a number");
}

void PutFixed(std::uint8_t* at, std::uint64_t v, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        at[i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

void EncodeDecimal(std::uint8_t* at, const ScaledDecimal& d) {
    at[0] = d.negative ? 0x80 : 0x00;
    // Four little-endian 32-bit words, the most significant word first.
    for (std::size_t k = 0; k < 4; ++k) {
        PutU32(at + 1 + 12 - 4 * k, d.words[k]);
    }
}

// Writes a value of a fixed-size type into the row's fixed area; false for a
// type kept in the variable area.
bool PutFixedValue(const TableLayout& t, const ColumnLayout& c, const Cell& cell,
                   std::uint8_t* fixed) {
    switch (c.type) {
        case ColumnType::Byte:
            PutFixed(fixed, static_cast<std::uint64_t>(AsInteger(t, c, cell, 0, 255)), 1);
            return true;
        case ColumnType::Integer:
            PutFixed(fixed, static_cast<std::uint64_t>(AsInteger(t, c, cell, -32768, 32767)), 2);
            return true;
        case ColumnType::Long:
            PutFixed(fixed,
                     static_cast<std::uint64_t>(
                         AsInteger(t, c, cell, std::numeric_limits<std::int32_t>::min(),
                                   std::numeric_limits<std::int32_t>::max())),
                     4);
            return true;
        case ColumnType::Currency:
            PutFixed(fixed,
                     static_cast<std::uint64_t>(
                         AsInteger(t, c, cell, std::numeric_limits<std::int64_t>::min(),
                                   std::numeric_limits<std::int64_t>::max())),
                     8);
            return true;
        case ColumnType::Single:
            PutFixed(fixed, std::bit_cast<std::uint32_t>(static_cast<float>(AsReal(t, c, cell))),
                     4);
            return true;
        case ColumnType::Double:
        case ColumnType::DateTime:
            PutFixed(fixed, std::bit_cast<std::uint64_t>(AsReal(t, c, cell)), 8);
            return true;
        case ColumnType::Guid: {
            if (cell.kind != Cell::Kind::Blob || cell.text.size() != 16) {
                Unsuitable(t, c, "expects a GUID");
            }
            std::copy(cell.text.begin(), cell.text.end(), fixed);
            return true;
        }
        case ColumnType::Complex: {
            if (cell.kind != Cell::Kind::Blob || cell.text.size() > c.length) {
                Unsuitable(t, c, "expects binary data of at most the column's length");
            }
            std::copy(cell.text.begin(), cell.text.end(), fixed);
            return true;
        }
        case ColumnType::Decimal: {
            if (cell.kind != Cell::Kind::Text && cell.kind != Cell::Kind::Int) {
                Unsuitable(t, c, "expects a decimal number as text");
            }
            const std::string digits =
                cell.kind == Cell::Kind::Int ? std::to_string(cell.integer) : cell.text;
            EncodeDecimal(fixed, ParseScaledDecimal(digits, c.scale));
            return true;
        }
        default:
            return false;
    }
}

// The bytes of a value kept in the variable area: text and binary data, or
// the reference to a long value.
Bytes VariableValue(const TableLayout& t, const ColumnLayout& c, const Cell& cell,
                    LongValueStore& longValues) {
    switch (c.type) {
        case ColumnType::Text: {
            if (cell.kind != Cell::Kind::Text) {
                Unsuitable(t, c, "expects text");
            }
            Bytes v = Utf8ToUtf16Le(cell.text);
            if (v.size() > c.length) {
                Unsuitable(t, c, "text longer than the field size");
            }
            return v;
        }
        case ColumnType::Binary: {
            if (cell.kind != Cell::Kind::Blob) {
                Unsuitable(t, c, "expects binary data");
            }
            if (cell.text.size() > c.length) {
                Unsuitable(t, c, "binary value longer than the field size");
            }
            return Bytes(cell.text.begin(), cell.text.end());
        }
        case ColumnType::Memo: {
            if (cell.kind != Cell::Kind::Text) {
                Unsuitable(t, c, "expects text");
            }
            return longValues.Encode(Utf8ToUtf16Le(cell.text));
        }
        case ColumnType::Ole: {
            if (cell.kind != Cell::Kind::Blob) {
                Unsuitable(t, c, "expects binary data");
            }
            return longValues.Encode(Bytes(cell.text.begin(), cell.text.end()));
        }
        default:
            Unsuitable(t, c, "cannot hold row data");
    }
}

}  // namespace

Bytes EncodeRow(const TableLayout& t, const Row& row, LongValueStore& longValues) {
    if (row.size() != t.columns.size()) {
        throw GeneratorError("table \"" + t.name + "\": a row has " + std::to_string(row.size()) +
                             " values for " + std::to_string(t.columns.size()) + " columns");
    }
    const std::size_t columnCount = t.columns.size();
    const std::size_t maskSize = (columnCount + 7) / 8;
    Bytes out(2 + t.fixedAreaSize, 0);
    PutU16(out.data(), static_cast<std::uint32_t>(columnCount));
    Bytes mask(maskSize, 0);
    std::vector<std::uint16_t> varStarts(t.varColumnCount + 1, 0);
    std::vector<Bytes> varData(t.varColumnCount);

    for (const ColumnLayout& c : t.columns) {
        const Cell& cell = row[c.number];
        const bool isNull = cell.kind == Cell::Kind::Null;
        if (c.type == ColumnType::Boolean) {
            bool v = false;
            if (cell.kind == Cell::Kind::Bool) {
                v = cell.boolean;
            } else if (cell.kind == Cell::Kind::Int) {
                v = cell.integer != 0;
            } else if (!isNull) {
                Unsuitable(t, c, "expects true or false");
            }
            if (v) {
                mask[c.number / 8] |= static_cast<std::uint8_t>(1U << (c.number % 8));
            }
            continue;
        }
        if (isNull) {
            continue;
        }
        mask[c.number / 8] |= static_cast<std::uint8_t>(1U << (c.number % 8));
        std::uint8_t* fixed = out.data() + 2 + c.fixedOffset;
        if (!PutFixedValue(t, c, cell, fixed)) {
            varData[c.varIndex] = VariableValue(t, c, cell, longValues);
        }
    }

    if (t.varColumnCount > 0) {
        for (std::size_t j = 0; j < varData.size(); ++j) {
            varStarts[j] = static_cast<std::uint16_t>(out.size());
            out.insert(out.end(), varData[j].begin(), varData[j].end());
            if (out.size() > kMaxRowSize) {
                break;
            }
        }
        varStarts[t.varColumnCount] = static_cast<std::uint16_t>(out.size());
        for (std::size_t j = t.varColumnCount + 1; j-- > 0;) {
            out.push_back(static_cast<std::uint8_t>(varStarts[j]));
            out.push_back(static_cast<std::uint8_t>(varStarts[j] >> 8));
        }
        out.push_back(static_cast<std::uint8_t>(t.varColumnCount));
        out.push_back(static_cast<std::uint8_t>(t.varColumnCount >> 8));
    }
    out.insert(out.end(), mask.begin(), mask.end());
    if (out.size() > kMaxRowSize) {
        throw GeneratorError("table \"" + t.name + "\": a row is larger than " +
                             std::to_string(kMaxRowSize) + " bytes");
    }
    return out;
}

}  // namespace ostrel::jetgen
