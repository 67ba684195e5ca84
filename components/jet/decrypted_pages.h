#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace ostrel::jet {

// The decrypted pages of an encrypted file, kept in memory only, each page
// decrypted once, when it is first read, and kept until the file is closed
// (the readers hold views of pages while they read others). They live in
// memory of their own: left out of core dumps, locked against swapping as
// far as the process's limit allows, and wiped when the file is closed.
class DecryptedPages {
  public:
    DecryptedPages(std::size_t pageSize, std::uint32_t pageCount);
    ~DecryptedPages();
    DecryptedPages(const DecryptedPages&) = delete;
    DecryptedPages& operator=(const DecryptedPages&) = delete;

    // The page's decrypted bytes, or nullptr when it has not been decrypted yet.
    const std::uint8_t* Find(std::uint32_t page) const;
    // Room for the next page's decrypted bytes (pageSize); Keep then makes
    // them page's. Room that is not kept is handed out again.
    std::uint8_t* Reserve();
    void Keep(std::uint32_t page);
    std::size_t Count() const { return used_; }

  private:
    struct Chunk;
    std::size_t pageSize_;
    std::vector<std::uint32_t> slotOfPage_;  // slot + 1, or 0 when not decrypted
    std::vector<std::unique_ptr<Chunk>> chunks_;
    std::size_t used_ = 0;
};

}  // namespace ostrel::jet
