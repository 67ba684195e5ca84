#include "components/jet/decrypted_pages.h"

#include <sys/mman.h>

#include <new>

#include "components/schema/password.h"

namespace ostrel::jet {
namespace {

// Pages are kept in chunks of this many, allocated as the pages are read.
constexpr std::size_t kPagesPerChunk = 64;

}  // namespace

struct DecryptedPages::Chunk {
    explicit Chunk(std::size_t bytes) : size(bytes) {
        void* mapped =
            ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapped == MAP_FAILED) {
            throw std::bad_alloc();
        }
        data = static_cast<std::uint8_t*>(mapped);
        // Best efforts: a refusal leaves the pages in memory all the same.
        (void)::madvise(mapped, size, MADV_DONTDUMP);
        locked = ::mlock(mapped, size) == 0;
    }
    ~Chunk() {
        schema::WipeMemory(data, size);
        if (locked) {
            ::munlock(data, size);
        }
        ::munmap(data, size);
    }
    Chunk(const Chunk&) = delete;
    Chunk& operator=(const Chunk&) = delete;

    std::uint8_t* data = nullptr;
    std::size_t size = 0;
    bool locked = false;
};

DecryptedPages::DecryptedPages(std::size_t pageSize, std::uint32_t pageCount)
    : pageSize_(pageSize), slotOfPage_(pageCount, 0) {}

DecryptedPages::~DecryptedPages() = default;

const std::uint8_t* DecryptedPages::Find(std::uint32_t page) const {
    const std::uint32_t slot = slotOfPage_.at(page);
    if (slot == 0) {
        return nullptr;
    }
    const std::size_t index = slot - 1;
    return chunks_[index / kPagesPerChunk]->data + (index % kPagesPerChunk) * pageSize_;
}

std::uint8_t* DecryptedPages::Reserve() {
    const std::size_t index = used_;
    if (index / kPagesPerChunk == chunks_.size()) {
        chunks_.push_back(std::make_unique<Chunk>(kPagesPerChunk * pageSize_));
    }
    return chunks_[index / kPagesPerChunk]->data + (index % kPagesPerChunk) * pageSize_;
}

void DecryptedPages::Keep(std::uint32_t page) {
    slotOfPage_.at(page) = static_cast<std::uint32_t>(++used_);
}

}  // namespace ostrel::jet
