#include "tools/jetgen/compound_writer.h"

#include <algorithm>
#include <cctype>

#include "tools/jetgen/generator_error.h"
#include "tools/jetgen/text_codec.h"

namespace ostrel::jetgen {

namespace {

constexpr std::size_t kSector = 512;
constexpr std::size_t kMiniSector = 64;
constexpr std::size_t kMiniCutoff = 4096;
constexpr std::size_t kEntriesPerSector = kSector / 128;
constexpr std::size_t kIdsPerSector = kSector / 4;
constexpr std::size_t kHeaderDifat = 109;
constexpr std::uint32_t kFree = 0xFFFFFFFF;
constexpr std::uint32_t kEnd = 0xFFFFFFFE;
constexpr std::uint32_t kFatSector = 0xFFFFFFFD;
constexpr std::uint32_t kDifatSector = 0xFFFFFFFC;
constexpr std::uint32_t kNoEntry = 0xFFFFFFFF;

struct Entry {
    const StorageNode* node = nullptr;
    Bytes name;  // UTF-16LE
    std::uint8_t type = 0;
    std::uint32_t left = kNoEntry, right = kNoEntry, child = kNoEntry;
    std::uint32_t start = kEnd;
    std::uint64_t size = 0;
};

// Directory order: shorter names first, then by upper-cased UTF-16 units.
bool EntryLess(const Bytes& a, const Bytes& b) {
    if (a.size() != b.size()) {
        return a.size() < b.size();
    }
    for (std::size_t i = 0; i + 1 < a.size(); i += 2) {
        const auto x = static_cast<std::uint16_t>(a[i] | (a[i + 1] << 8));
        const auto y = static_cast<std::uint16_t>(b[i] | (b[i + 1] << 8));
        const auto ux = x < 0x80 ? std::toupper(x) : x;
        const auto uy = y < 0x80 ? std::toupper(y) : y;
        if (ux != uy) {
            return ux < uy;
        }
    }
    return false;
}

class Layout {
  public:
    explicit Layout(const StorageNode& root) {
        entries_.push_back(Entry{&root, Utf8ToUtf16Le("Root Entry"), 5});
        for (std::size_t i = 0; i < entries_.size(); ++i) {
            if (entries_[i].type != 2) {
                const std::uint32_t child = AddChildren(*entries_[i].node);
                entries_[i].child = child;  // after AddChildren has grown the list
            }
        }
    }
    std::vector<Entry>& Entries() { return entries_; }

  private:
    std::uint32_t AddChildren(const StorageNode& storage) {
        std::vector<std::uint32_t> ids;
        for (const StorageNode& child : storage.children) {
            Bytes name = Utf8ToUtf16Le(child.name);
            if (name.size() > 62 || name.empty()) {
                throw GeneratorError("storage name \"" + child.name + "\" is empty or too long");
            }
            ids.push_back(static_cast<std::uint32_t>(entries_.size()));
            entries_.push_back(
                Entry{&child, std::move(name), static_cast<std::uint8_t>(child.stream ? 2 : 1)});
        }
        std::sort(ids.begin(), ids.end(), [&](std::uint32_t a, std::uint32_t b) {
            return EntryLess(entries_[a].name, entries_[b].name);
        });
        for (std::size_t i = 1; i < ids.size(); ++i) {
            if (!EntryLess(entries_[ids[i - 1]].name, entries_[ids[i]].name)) {
                throw GeneratorError("two entries named \"" + entries_[ids[i]].node->name + "\"");
            }
        }
        return Balanced(ids, 0, ids.size());
    }

    // A balanced tree of siblings over the sorted ids [from, to).
    std::uint32_t Balanced(const std::vector<std::uint32_t>& ids, std::size_t from,
                           std::size_t to) {
        if (from >= to) {
            return kNoEntry;
        }
        const std::size_t middle = from + (to - from) / 2;
        Entry& e = entries_[ids[middle]];
        e.left = Balanced(ids, from, middle);
        e.right = Balanced(ids, middle + 1, to);
        return ids[middle];
    }

    std::vector<Entry> entries_;
};

std::size_t SectorsFor(std::size_t bytes, std::size_t size) {
    return (bytes + size - 1) / size;
}

// Appends a chain of `count` sectors from `first` to a table.
void Chain(std::vector<std::uint32_t>& table, std::size_t first, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        table[first + i] = i + 1 < count ? static_cast<std::uint32_t>(first + i + 1) : kEnd;
    }
}

void PadTo(Bytes& bytes, std::size_t size) {
    bytes.resize(SectorsFor(bytes.size(), size) * size, 0);
}

}  // namespace

StorageNode& StorageNode::Storage(const std::string& childName) {
    for (StorageNode& c : children) {
        if (!c.stream && c.name == childName) {
            return c;
        }
    }
    children.push_back(StorageNode{childName, false, {}, {}});
    return children.back();
}

void StorageNode::Stream(const std::string& childName, Bytes bytes) {
    children.push_back(StorageNode{childName, true, std::move(bytes), {}});
}

namespace {

// Lays the file out: small streams in the mini stream, then sectors for the
// large streams, the mini stream, the mini FAT and the directory, then the
// FAT and DIFAT sectors that map them all.
class SectorWriter {
  public:
    explicit SectorWriter(std::vector<Entry>& entries) : entries_(entries) {
        PackSmallStreams();
        CountFatSectors();
    }

    Bytes Write() {
        for (Entry* e : large_) {
            e->start = Place(e->node->data);
        }
        entries_[0].start = Place(mini_);
        entries_[0].size = mini_.size();
        ByteWriter miniFat;
        for (const std::uint32_t id : miniFat_) {
            miniFat.U32(id);
        }
        const std::uint32_t miniFatStart = Place(miniFat.Data());
        const std::uint32_t dirStart = Place(Directory());
        fatStart_ = sectors_.size();
        for (std::size_t i = 0; i < fatSectors_ + difatSectors_; ++i) {
            fat_[fatStart_ + i] = i < fatSectors_ ? kFatSector : kDifatSector;
        }
        ByteWriter file;
        Header(file, dirStart, miniFat_.empty() ? kEnd : miniFatStart);
        for (const Bytes& sector : sectors_) {
            file.Append(sector);
        }
        for (const std::uint32_t id : fat_) {
            file.U32(id);
        }
        Difat(file);
        return file.Take();
    }

  private:
    void PackSmallStreams() {
        for (Entry& e : entries_) {
            if (e.type != 2) {
                continue;
            }
            e.size = e.node->data.size();
            if (e.size >= kMiniCutoff) {
                large_.push_back(&e);
            } else if (e.size > 0) {
                e.start = static_cast<std::uint32_t>(mini_.size() / kMiniSector);
                mini_.insert(mini_.end(), e.node->data.begin(), e.node->data.end());
                PadTo(mini_, kMiniSector);
                miniFat_.resize(mini_.size() / kMiniSector, kFree);
                Chain(miniFat_, e.start, SectorsFor(e.size, kMiniSector));
            }
        }
    }

    // Enough FAT sectors for every sector, their own and the DIFAT's included.
    void CountFatSectors() {
        std::size_t data = SectorsFor(entries_.size(), kEntriesPerSector) +
                           SectorsFor(miniFat_.size(), kIdsPerSector) +
                           SectorsFor(mini_.size(), kSector);
        for (const Entry* e : large_) {
            data += SectorsFor(e->size, kSector);
        }
        fatSectors_ = 1;
        while (fatSectors_ * kIdsPerSector < data + fatSectors_ + difatSectors_) {
            ++fatSectors_;
            difatSectors_ = fatSectors_ > kHeaderDifat
                                ? SectorsFor(fatSectors_ - kHeaderDifat, kIdsPerSector - 1)
                                : 0;
        }
        fat_.assign(fatSectors_ * kIdsPerSector, kFree);
    }

    // Appends bytes as a chain of sectors; its first sector.
    std::uint32_t Place(const Bytes& bytes) {
        const std::size_t first = sectors_.size();
        const std::size_t count = SectorsFor(bytes.size(), kSector);
        for (std::size_t i = 0; i < count; ++i) {
            const auto from = bytes.begin() + static_cast<std::ptrdiff_t>(i * kSector);
            Bytes sector(from, from + static_cast<std::ptrdiff_t>(
                                          std::min(kSector, bytes.size() - i * kSector)));
            sector.resize(kSector, 0);
            sectors_.push_back(std::move(sector));
        }
        Chain(fat_, first, count);
        return count == 0 ? kEnd : static_cast<std::uint32_t>(first);
    }

    Bytes Directory() const {
        ByteWriter directory;
        for (const Entry& e : entries_) {
            Bytes name = e.name;
            name.resize(64, 0);
            directory.Append(name);
            directory.U16(static_cast<std::uint32_t>(e.name.size() + 2));
            directory.U8(e.type);
            directory.U8(1);  // black
            directory.U32(e.left);
            directory.U32(e.right);
            directory.U32(e.child);
            directory.Zeros(16 + 4 + 16);  // CLSID, state bits, times
            directory.U32(e.start);
            directory.U64(e.size);
        }
        return directory.Take();
    }

    void Header(ByteWriter& file, std::uint32_t dirStart, std::uint32_t miniFatStart) const {
        file.Append(Bytes{0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1});
        file.Zeros(16);
        file.U16(0x3E);
        file.U16(3);
        file.U16(0xFFFE);
        file.U16(9);
        file.U16(6);
        file.Zeros(6 + 4);  // reserved; directory sectors (0 in version 3)
        file.U32(static_cast<std::uint32_t>(fatSectors_));
        file.U32(dirStart);
        file.U32(0);
        file.U32(kMiniCutoff);
        file.U32(miniFatStart);
        file.U32(static_cast<std::uint32_t>(SectorsFor(miniFat_.size(), kIdsPerSector)));
        file.U32(difatSectors_ > 0 ? static_cast<std::uint32_t>(fatStart_ + fatSectors_) : kEnd);
        file.U32(static_cast<std::uint32_t>(difatSectors_));
        for (std::size_t i = 0; i < kHeaderDifat; ++i) {
            file.U32(i < fatSectors_ ? static_cast<std::uint32_t>(fatStart_ + i) : kFree);
        }
    }

    // FAT sectors beyond the header's 109, each DIFAT sector ending with the
    // next one.
    void Difat(ByteWriter& file) const {
        std::size_t next = kHeaderDifat;
        const std::size_t difatStart = fatStart_ + fatSectors_;
        for (std::size_t i = 0; i < difatSectors_; ++i) {
            for (std::size_t j = 0; j + 1 < kIdsPerSector; ++j, ++next) {
                file.U32(next < fatSectors_ ? static_cast<std::uint32_t>(fatStart_ + next) : kFree);
            }
            file.U32(i + 1 < difatSectors_ ? static_cast<std::uint32_t>(difatStart + i + 1) : kEnd);
        }
    }

    std::vector<Entry>& entries_;
    std::vector<Entry*> large_;
    Bytes mini_;
    std::vector<std::uint32_t> miniFat_;
    std::size_t fatSectors_ = 1;
    std::size_t difatSectors_ = 0;
    std::size_t fatStart_ = 0;
    std::vector<std::uint32_t> fat_;
    std::vector<Bytes> sectors_;
};

}  // namespace

Bytes WriteCompoundFile(const StorageNode& root) {
    Layout layout(root);
    return SectorWriter(layout.Entries()).Write();
}

}  // namespace ostrel::jetgen
