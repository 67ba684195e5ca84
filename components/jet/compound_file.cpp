#include "components/jet/compound_file.h"

#include <algorithm>
#include <array>

#include "components/jet/byte_cursor.h"
#include "components/jet/text_decoding.h"

namespace ostrel::jet {
namespace {

constexpr std::array<std::uint8_t, 8> kSignature = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr std::size_t kHeaderSize = 512;
constexpr std::size_t kHeaderDifatEntries = 109;
constexpr std::size_t kEntrySize = 128;
constexpr unsigned kMiniSectorShift = 6;
constexpr std::uint32_t kMaxRegularSector = 0xFFFFFFFA;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kNoEntry = 0xFFFFFFFF;
constexpr std::uint8_t kStorage = 1;
constexpr std::uint8_t kStream = 2;
constexpr std::uint8_t kRoot = 5;

std::string Hex(std::uint32_t v) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string s = "0x";
    for (int shift = 28; shift >= 0; shift -= 4) {
        s += kDigits[(v >> shift) & 0xF];
    }
    return s;
}

}  // namespace

CompoundFile::CompoundFile(std::vector<std::uint8_t> bytes, std::string label, std::string where)
    : bytes_(std::move(bytes)), label_(std::move(label)), where_(std::move(where)) {
    ReadHeader();
    ReadFat();
    ReadDirectory();
    ReadMiniFat();
    BuildTree();
}

void CompoundFile::Damaged(const std::string& what) const {
    ThrowDamaged(label_, where_ + ": " + what);
}

std::uint32_t CompoundFile::SectorCount() const {
    const std::size_t sectors = (bytes_.size() >> sectorShift_) - 1;
    return static_cast<std::uint32_t>(std::min<std::size_t>(sectors, kMaxRegularSector));
}

std::span<const std::uint8_t> CompoundFile::Sector(std::uint32_t sector, const char* what) const {
    if (sector >= SectorCount()) {
        Damaged(std::string(what) + " refers to sector " + Hex(sector) + ", outside the file of " +
                std::to_string(SectorCount()) + " sectors");
    }
    const std::size_t size = std::size_t{1} << sectorShift_;
    return std::span<const std::uint8_t>(bytes_).subspan((std::size_t{sector} + 1) * size, size);
}

void CompoundFile::ReadHeader() {
    const ByteCursor header(bytes_, label_, where_ + ", header");
    const auto signature = header.Bytes(0, kSignature.size());
    if (!std::equal(signature.begin(), signature.end(), kSignature.begin())) {
        Damaged("not a compound file (no signature)");
    }
    (void)header.Bytes(0, kHeaderSize);
    const std::uint16_t major = header.U16(0x1A);
    sectorShift_ = header.U16(0x1E);
    if (!((major == 3 && sectorShift_ == 9) || (major == 4 && sectorShift_ == 12))) {
        header.Fail(0x1A, "version " + std::to_string(major) + " with sectors of 2^" +
                              std::to_string(sectorShift_) + " bytes");
    }
    version3_ = major == 3;
    if (header.U16(0x20) != kMiniSectorShift) {
        header.Fail(0x20, "mini sectors of 2^" + std::to_string(header.U16(0x20)) + " bytes");
    }
    miniCutoff_ = header.U32(0x38);
    if (miniCutoff_ != 4096) {
        header.Fail(0x38, "mini stream cutoff " + std::to_string(miniCutoff_));
    }
    // A last sector cut short reads as padded with zero bytes.
    const std::size_t size = std::size_t{1} << sectorShift_;
    bytes_.resize((bytes_.size() + size - 1) / size * size, 0);
    if (bytes_.size() < 2 * size) {
        Damaged("no sectors after the header");
    }
}

void CompoundFile::ReadFat() {
    const ByteCursor header(bytes_, label_, where_ + ", header");
    const std::uint32_t fatSectors = header.U32(0x2C);
    if (fatSectors > SectorCount()) {
        header.Fail(0x2C, std::to_string(fatSectors) + " FAT sectors in a file of " +
                              std::to_string(SectorCount()));
    }
    std::vector<std::uint32_t> fatList;
    for (std::size_t i = 0; i < kHeaderDifatEntries && fatList.size() < fatSectors; ++i) {
        fatList.push_back(header.U32(0x4C + 4 * i));
    }
    // Further FAT sector numbers fill DIFAT sectors, whose last entry is the
    // next DIFAT sector.
    std::uint32_t difat = header.U32(0x44);
    std::vector<bool> seen(SectorCount(), false);
    while (fatList.size() < fatSectors) {
        const auto sector = Sector(difat, "the DIFAT");
        if (seen[difat]) {
            Damaged("the DIFAT sectors form a loop at sector " + Hex(difat));
        }
        seen[difat] = true;
        const ByteCursor cursor(sector, label_, where_ + ", DIFAT");
        const std::size_t entries = sector.size() / 4 - 1;
        for (std::size_t i = 0; i < entries && fatList.size() < fatSectors; ++i) {
            fatList.push_back(cursor.U32(4 * i));
        }
        difat = cursor.U32(4 * entries);
    }
    fat_.reserve(std::size_t{fatSectors} << (sectorShift_ - 2));
    for (const std::uint32_t sector : fatList) {
        const ByteCursor cursor(Sector(sector, "the FAT"), label_, where_ + ", FAT");
        for (std::size_t at = 0; at < cursor.Size(); at += 4) {
            fat_.push_back(cursor.U32(at));
        }
    }
}

std::vector<std::uint32_t> CompoundFile::Chain(const std::vector<std::uint32_t>& table,
                                               std::uint32_t start,
                                               std::optional<std::size_t> count,
                                               const char* what) const {
    std::vector<std::uint32_t> chain;
    std::vector<bool> seen(table.size(), false);
    std::uint32_t at = start;
    while (count ? chain.size() < *count : at != kEndOfChain) {
        if (at >= table.size()) {
            Damaged(std::string("the chain of ") + what +
                    (at == kEndOfChain ? " ends after " + std::to_string(chain.size()) + " of " +
                                             std::to_string(count.value_or(0)) + " sectors"
                                       : " reaches sector " + Hex(at) + ", outside its table"));
        }
        if (seen[at]) {
            Damaged(std::string("the chain of ") + what + " loops at sector " + Hex(at));
        }
        seen[at] = true;
        chain.push_back(at);
        at = table[at];
    }
    return chain;
}

std::vector<std::uint8_t> CompoundFile::ReadFromFat(std::uint32_t start, std::uint64_t size,
                                                    const char* what) const {
    const std::size_t sectorSize = std::size_t{1} << sectorShift_;
    if (size > std::uint64_t{SectorCount()} * sectorSize) {
        Damaged(std::string(what) + " of " + std::to_string(size) + " bytes exceeds the file");
    }
    const std::size_t count = (static_cast<std::size_t>(size) + sectorSize - 1) / sectorSize;
    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(size));
    for (const std::uint32_t sector : Chain(fat_, start, count, what)) {
        const auto bytes = Sector(sector, what);
        const std::size_t take =
            std::min(bytes.size(), static_cast<std::size_t>(size) - out.size());
        out.insert(out.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(take));
    }
    return out;
}

void CompoundFile::ReadDirectory() {
    const ByteCursor header(bytes_, label_, where_ + ", header");
    for (const std::uint32_t sector :
         Chain(fat_, header.U32(0x30), std::nullopt, "the directory")) {
        const ByteCursor cursor(Sector(sector, "the directory"), label_, where_ + ", directory");
        for (std::size_t at = 0; at + kEntrySize <= cursor.Size(); at += kEntrySize) {
            Entry e;
            const std::uint16_t nameLength = cursor.U16(at + 0x40);
            if (nameLength > 64 || nameLength % 2 != 0) {
                cursor.Fail(at + 0x40, "entry name of " + std::to_string(nameLength) + " bytes");
            }
            e.name = Utf16ToUtf8(cursor.Bytes(at, nameLength >= 2 ? nameLength - 2U : 0U));
            e.type = cursor.U8(at + 0x42);
            e.left = cursor.U32(at + 0x44);
            e.right = cursor.U32(at + 0x48);
            e.child = cursor.U32(at + 0x4C);
            e.start = cursor.U32(at + 0x74);
            // Version 3 files may leave garbage in the high half of the size.
            e.size = version3_
                         ? cursor.U32(at + 0x78)
                         : cursor.U32(at + 0x78) | (std::uint64_t{cursor.U32(at + 0x7C)} << 32);
            entries_.push_back(std::move(e));
        }
    }
    if (entries_.empty() || entries_[0].type != kRoot) {
        Damaged("the directory has no root entry");
    }
}

void CompoundFile::ReadMiniFat() {
    const ByteCursor header(bytes_, label_, where_ + ", header");
    const std::uint32_t count = header.U32(0x40);
    if (count == 0) {
        return;
    }
    if (count > SectorCount()) {
        header.Fail(0x40, std::to_string(count) + " mini FAT sectors in a file of " +
                              std::to_string(SectorCount()));
    }
    for (const std::uint32_t sector : Chain(fat_, header.U32(0x3C), count, "the mini FAT")) {
        const ByteCursor cursor(Sector(sector, "the mini FAT"), label_, where_ + ", mini FAT");
        for (std::size_t at = 0; at < cursor.Size(); at += 4) {
            miniFat_.push_back(cursor.U32(at));
        }
    }
}

void CompoundFile::BuildTree() {
    nodes_.push_back(Node{entries_[0].name, false, {}});
    entryOfNode_.push_back(0);
    std::vector<bool> seen(entries_.size(), false);
    seen[0] = true;
    // Storages are added as they are found; each adds its own children.
    for (std::size_t node = 0; node < nodes_.size(); ++node) {
        if (!nodes_[node].stream) {
            AddChildren(node, entries_[entryOfNode_[node]].child, seen);
        }
    }
}

// The children of a storage form a tree of siblings through their left and
// right links; it is walked without recursion, so that no depth of it can
// exhaust the stack.
void CompoundFile::AddChildren(std::size_t node, std::uint32_t firstEntry,
                               std::vector<bool>& seen) {
    std::vector<std::uint32_t> pending;
    if (firstEntry != kNoEntry) {
        pending.push_back(firstEntry);
    }
    while (!pending.empty()) {
        const std::uint32_t id = pending.back();
        pending.pop_back();
        if (id >= entries_.size()) {
            Damaged("a directory entry refers to entry " + std::to_string(id) + " of " +
                    std::to_string(entries_.size()));
        }
        if (seen[id]) {
            Damaged("the directory's entries form a loop at entry " + std::to_string(id));
        }
        seen[id] = true;
        const Entry& e = entries_[id];
        if (e.type != kStorage && e.type != kStream) {
            Damaged("directory entry " + std::to_string(id) + " of type " + std::to_string(e.type) +
                    " is listed in a storage");
        }
        nodes_[node].children.push_back(nodes_.size());
        nodes_.push_back(Node{e.name, e.type == kStream, {}});
        entryOfNode_.push_back(id);
        for (const std::uint32_t sibling : {e.left, e.right}) {
            if (sibling != kNoEntry) {
                pending.push_back(sibling);
            }
        }
    }
}

const std::vector<std::uint8_t>& CompoundFile::MiniStream() const {
    if (!miniStream_) {
        miniStream_ = ReadFromFat(entries_[0].start, entries_[0].size, "the mini stream");
    }
    return *miniStream_;
}

std::vector<std::uint8_t> CompoundFile::Read(std::size_t node) const {
    const Entry& e = entries_[entryOfNode_.at(node)];
    const std::string what = "stream '" + e.name + "'";
    if (!At(node).stream) {
        Damaged("'" + e.name + "' is a storage, not a stream");
    }
    if (e.size >= miniCutoff_) {
        return ReadFromFat(e.start, e.size, what.c_str());
    }
    const std::vector<std::uint8_t>& mini = MiniStream();
    const std::size_t miniSize = std::size_t{1} << kMiniSectorShift;
    const std::size_t count = (static_cast<std::size_t>(e.size) + miniSize - 1) / miniSize;
    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(e.size));
    for (const std::uint32_t sector : Chain(miniFat_, e.start, count, what.c_str())) {
        const std::size_t at = std::size_t{sector} * miniSize;
        if (at + miniSize > mini.size()) {
            Damaged(what + " refers to mini sector " + Hex(sector) +
                    ", outside the mini stream of " + std::to_string(mini.size()) + " bytes");
        }
        const std::size_t take = std::min(miniSize, static_cast<std::size_t>(e.size) - out.size());
        out.insert(out.end(), mini.begin() + static_cast<std::ptrdiff_t>(at),
                   mini.begin() + static_cast<std::ptrdiff_t>(at + take));
    }
    return out;
}

}  // namespace ostrel::jet
