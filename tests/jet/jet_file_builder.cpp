#include "tests/jet/jet_file_builder.h"

#include <array>
#include <cstring>
#include <utility>

#include "components/jet/rc4.h"

namespace ostrel::jet::test {
namespace {

constexpr std::uint32_t kPages = 8;
constexpr std::size_t kMaskedOffset = 0x18;
constexpr std::size_t kMaskLength = 128;
constexpr std::array<std::uint8_t, 4> kHeaderKey = {0xC7, 0xDA, 0x39, 0x6B};

struct Column {
    std::uint8_t type;
    const char* name;
    std::uint8_t flags;
    std::uint16_t length;
};

void Append16(std::vector<std::uint8_t>& v, std::uint16_t x) {
    v.push_back(static_cast<std::uint8_t>(x));
    v.push_back(static_cast<std::uint8_t>(x >> 8));
}
void Append32(std::vector<std::uint8_t>& v, std::uint32_t x) {
    Append16(v, static_cast<std::uint16_t>(x));
    Append16(v, static_cast<std::uint16_t>(x >> 16));
}
void AppendName(std::vector<std::uint8_t>& v, const std::string& name) {
    Append16(v, static_cast<std::uint16_t>(name.size() * 2));
    for (const char c : name) {
        Append16(v, static_cast<std::uint8_t>(c));
    }
}

// A table definition page: fixed columns first, variable ones after, and
// optionally a one-column primary key on the first column.
std::vector<std::uint8_t> TableDefinition(const std::vector<Column>& columns, bool primaryKey,
                                          std::uint32_t ownedPagesRow) {
    std::vector<std::uint8_t> t(63, 0);
    t[0] = 0x02;
    t[1] = 0x01;
    t[16] = 3;  // row count
    t[40] = 0x4E;
    std::uint16_t varCount = 0;
    for (const Column& c : columns) {
        varCount = static_cast<std::uint16_t>(varCount + ((c.flags & 1) == 0 ? 1 : 0));
    }
    const auto n = static_cast<std::uint16_t>(columns.size());
    std::memcpy(&t[41], &n, 2);
    std::memcpy(&t[43], &varCount, 2);
    std::memcpy(&t[45], &n, 2);
    const std::uint32_t indexes = primaryKey ? 1 : 0;
    std::memcpy(&t[47], &indexes, 4);
    std::memcpy(&t[51], &indexes, 4);
    std::memcpy(&t[55], &ownedPagesRow, 4);
    if (primaryKey) {
        Append32(t, 0);
        Append32(t, 3);  // unique entries
        Append32(t, 0);
    }
    std::uint16_t fixedOffset = 0;
    std::uint16_t varIndex = 0;
    std::uint16_t number = 0;
    for (const Column& c : columns) {
        std::vector<std::uint8_t> e(25, 0);
        e[0] = c.type;
        std::memcpy(&e[5], &number, 2);
        const bool fixed = (c.flags & 1) != 0;
        const std::uint16_t vi = fixed ? 0 : varIndex++;
        std::memcpy(&e[7], &vi, 2);
        std::memcpy(&e[9], &number, 2);
        e[15] = c.flags;
        const std::uint16_t fo = fixed ? fixedOffset : 0;
        std::memcpy(&e[21], &fo, 2);
        std::memcpy(&e[23], &c.length, 2);
        if (fixed) {
            fixedOffset = static_cast<std::uint16_t>(fixedOffset + c.length);
        }
        t.insert(t.end(), e.begin(), e.end());
        ++number;
    }
    for (const Column& c : columns) {
        AppendName(t, c.name);
    }
    if (primaryKey) {
        std::vector<std::uint8_t> real(52, 0);
        for (int slot = 0; slot < 10; ++slot) {
            const std::uint16_t col = slot == 0 ? 0 : 0xFFFF;
            std::memcpy(&real[4 + 3 * static_cast<std::size_t>(slot)], &col, 2);
            real[4 + 3 * static_cast<std::size_t>(slot) + 2] = 1;
        }
        real[46] = 0x89;  // unique, required
        t.insert(t.end(), real.begin(), real.end());
        std::vector<std::uint8_t> logical(28, 0);
        logical[23] = 1;  // primary key
        t.insert(t.end(), logical.begin(), logical.end());
        AppendName(t, "PrimaryKey");
    }
    const auto length = static_cast<std::uint32_t>(t.size());
    std::memcpy(&t[8], &length, 4);
    return t;
}

// A Jet 4 row: fixed values, variable values, offsets, count, null mask.
std::vector<std::uint8_t> Row(std::uint16_t columns, const std::vector<std::uint8_t>& fixed,
                              const std::vector<std::vector<std::uint8_t>>& variable) {
    std::vector<std::uint8_t> r;
    Append16(r, columns);
    r.insert(r.end(), fixed.begin(), fixed.end());
    std::vector<std::uint16_t> offsets;
    for (const auto& v : variable) {
        offsets.push_back(static_cast<std::uint16_t>(r.size()));
        r.insert(r.end(), v.begin(), v.end());
    }
    offsets.push_back(static_cast<std::uint16_t>(r.size()));
    for (std::size_t i = offsets.size(); i-- > 0;) {
        Append16(r, offsets[i]);
    }
    Append16(r, static_cast<std::uint16_t>(variable.size()));
    for (int i = 0; i < (columns + 7) / 8; ++i) {
        r.push_back(0xFF);
    }
    return r;
}

// Places rows on a data page owned by tdefPage.
void DataPage(std::uint8_t* page, std::uint32_t tdefPage,
              const std::vector<std::vector<std::uint8_t>>& rows) {
    page[0] = 0x01;
    page[1] = 0x01;
    std::memcpy(page + 4, &tdefPage, 4);
    const auto count = static_cast<std::uint16_t>(rows.size());
    std::memcpy(page + 12, &count, 2);
    std::size_t end = BuiltFile::kPageSize;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        end -= rows[i].size();
        std::memcpy(page + end, rows[i].data(), rows[i].size());
        const auto start = static_cast<std::uint16_t>(end);
        std::memcpy(page + 14 + 2 * i, &start, 2);
    }
}

std::vector<std::uint8_t> Utf16(const std::string& s) {
    std::vector<std::uint8_t> v;
    for (const char c : s) {
        Append16(v, static_cast<std::uint8_t>(c));
    }
    return v;
}

std::vector<std::uint8_t> CatalogRow(std::int32_t id, std::int32_t parent, std::int16_t type,
                                     const std::string& name,
                                     const std::vector<std::uint8_t>& properties = {}) {
    std::vector<std::uint8_t> fixed;
    Append32(fixed, static_cast<std::uint32_t>(id));
    Append32(fixed, static_cast<std::uint32_t>(parent));
    Append16(fixed, static_cast<std::uint16_t>(type));
    Append32(fixed, 0);  // Flags
    if (properties.empty()) {
        return Row(6, fixed, {Utf16(name)});
    }
    // The blob stored inline after a 12-byte long value header.
    std::vector<std::uint8_t> longValue;
    Append32(longValue, 0x80000000U | static_cast<std::uint32_t>(properties.size()));
    Append32(longValue, 0);
    Append32(longValue, 0);
    longValue.insert(longValue.end(), properties.begin(), properties.end());
    return Row(6, fixed, {Utf16(name), longValue});
}

// Property blobs: a name block, then value blocks for the object and columns.
class PropertyBlob {
  public:
    explicit PropertyBlob(std::vector<std::string> names) : names_(std::move(names)) {}
    struct Value {
        std::string name;
        std::uint8_t type;
        std::vector<std::uint8_t> data;
    };
    void AddBlock(std::uint16_t type, const std::string& mapName,
                  const std::vector<Value>& values) {
        std::vector<std::uint8_t> block;
        Append32(block, mapName.empty() ? 4 : static_cast<std::uint32_t>(6 + 2 * mapName.size()));
        if (!mapName.empty()) {
            AppendName(block, mapName);
        }
        for (const Value& v : values) {
            std::uint16_t index = 0;
            while (names_[index] != v.name) {
                ++index;
            }
            Append16(block, static_cast<std::uint16_t>(8 + v.data.size()));
            block.push_back(1);
            block.push_back(v.type);
            Append16(block, index);
            Append16(block, static_cast<std::uint16_t>(v.data.size()));
            block.insert(block.end(), v.data.begin(), v.data.end());
        }
        blocks_.emplace_back(type, block);
    }
    std::vector<std::uint8_t> Bytes() const {
        std::vector<std::uint8_t> out = {'M', 'R', '2', 0};
        std::vector<std::uint8_t> names;
        for (const std::string& n : names_) {
            AppendName(names, n);
        }
        Append32(out, static_cast<std::uint32_t>(6 + names.size()));
        Append16(out, 0x80);
        out.insert(out.end(), names.begin(), names.end());
        for (const auto& [type, block] : blocks_) {
            Append32(out, static_cast<std::uint32_t>(6 + block.size()));
            Append16(out, type);
            out.insert(out.end(), block.begin(), block.end());
        }
        return out;
    }

  private:
    std::vector<std::string> names_;
    std::vector<std::pair<std::uint16_t, std::vector<std::uint8_t>>> blocks_;
};

std::vector<std::uint8_t> OrdersProperties() {
    constexpr std::uint8_t kText = 0x0A;
    constexpr std::uint8_t kBoolean = 0x01;
    PropertyBlob blob(
        {"ValidationRule", "ValidationText", "DefaultValue", "Required", "AllowZeroLength"});
    blob.AddBlock(0, "",
                  {{"ValidationRule", kText, Utf16("[Customer]<>'x'")},
                   {"ValidationText", kText, Utf16("no x")}});
    blob.AddBlock(1, "Customer",
                  {{"DefaultValue", kText, Utf16("\"anon\"")},
                   {"Required", kBoolean, {1}},
                   {"AllowZeroLength", kBoolean, {0}},
                   {"ValidationRule", kText, Utf16("Like 'A*'")}});
    // A second block for the same column adds to it and replaces a value.
    blob.AddBlock(
        1, "customer",
        {{"AllowZeroLength", kBoolean, {1}}, {"ValidationText", kText, Utf16("starts with A")}});
    return blob.Bytes();
}

std::vector<std::uint8_t> DatabaseProperties() {
    constexpr std::uint8_t kGuid = 0x0F;
    PropertyBlob blob({"ReplicaID"});
    blob.AddBlock(0, "",
                  {{"ReplicaID",
                    kGuid,
                    {0x78, 0x56, 0x34, 0x12, 0x34, 0x12, 0x78, 0x56, 0x9A, 0xBC, 0xDE, 0xF0, 0x01,
                     0x23, 0x45, 0x67}}});
    return blob.Bytes();
}

// A type 0 usage map starting at page 0 marking the given pages.
std::vector<std::uint8_t> UsageMap(const std::vector<std::uint32_t>& pages) {
    std::vector<std::uint8_t> m(5 + 64, 0);
    for (const std::uint32_t p : pages) {
        m[5 + p / 8] = static_cast<std::uint8_t>(m[5 + p / 8] | (1U << (p % 8)));
    }
    return m;
}

}  // namespace

void BuiltFile::Put16(std::size_t at, std::uint16_t v) {
    std::memcpy(&bytes.at(at + 1) - 1, &v, 2);
}
void BuiltFile::Put32(std::size_t at, std::uint32_t v) {
    std::memcpy(&bytes.at(at + 3) - 3, &v, 4);
}

void BuiltFile::PutHeader32(std::size_t at, std::uint32_t v) {
    std::span<std::uint8_t> masked(bytes.data() + kMaskedOffset, kMaskLength);
    Rc4Xor(kHeaderKey, masked);
    Put32(at, v);
    Rc4Xor(kHeaderKey, masked);
}

BuiltFile BuildJet4File() {
    BuiltFile f;
    f.bytes.assign(std::size_t{kPages} * BuiltFile::kPageSize, 0);
    std::uint8_t* b = f.bytes.data();
    const std::array<std::uint8_t, 4> magic = {0x00, 0x01, 0x00, 0x00};
    std::memcpy(b, magic.data(), 4);
    std::memcpy(b + 4, "Standard Jet DB", 16);
    b[0x14] = 1;
    Rc4Xor(kHeaderKey, std::span<std::uint8_t>(b + kMaskedOffset, kMaskLength));
    f.PutHeader32(0x3C, 1252);
    f.PutHeader32(0x6E, 1033);

    const std::vector<Column> catalog = {{0x04, "Id", 0x03, 4},     {0x04, "ParentId", 0x03, 4},
                                         {0x03, "Type", 0x03, 2},   {0x04, "Flags", 0x03, 4},
                                         {0x0A, "Name", 0x02, 128}, {0x0B, "LvProp", 0x02, 0}};
    // Usage maps live on page 3: row 0 for the catalog, row 1 for Orders.
    const auto catalogDef = TableDefinition(catalog, false, (3U << 8) | 0U);
    std::memcpy(b + f.PageOffset(2), catalogDef.data(), catalogDef.size());
    DataPage(b + f.PageOffset(3), 0, {UsageMap({4}), UsageMap({6})});

    const std::vector<std::vector<std::uint8_t>> rows = {
        CatalogRow(0x0F000000, 0, 3, "Tables root"),
        CatalogRow(0x0F000001, 0x0F000000, 3, "Tables"),
        CatalogRow(static_cast<std::int32_t>(BuiltFile::kOrdersDefinitionPage), 0x0F000001, 1,
                   "Orders", OrdersProperties()),
        CatalogRow(0x0F000002, 0x0F000000, 3, "Databases"),
        CatalogRow(0x0F000003, 0x0F000002, 2, "MSysDb", DatabaseProperties()),
    };
    DataPage(b + f.PageOffset(4), 2, rows);
    // Orders' Id is the first fixed value of the third row.
    const std::size_t thirdRow =
        BuiltFile::kPageSize - rows[0].size() - rows[1].size() - rows[2].size();
    f.ordersIdOffset = f.PageOffset(4) + thirdRow + 2;

    const std::vector<Column> orders = {{0x04, "OrderID", 0x17, 4}, {0x0A, "Customer", 0x02, 100}};
    const auto ordersDef = TableDefinition(orders, true, (3U << 8) | 1U);
    std::memcpy(b + f.PageOffset(5), ordersDef.data(), ordersDef.size());
    return f;
}

}  // namespace ostrel::jet::test
