// The output file as numbered 4 KB pages, written in any order and published
// under its final name only when complete.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>

namespace ostrel::jetgen {

inline constexpr std::size_t kPageSize = 4096;
using Page = std::array<std::uint8_t, kPageSize>;

class PageFile {
  public:
    explicit PageFile(std::filesystem::path target);
    ~PageFile();
    PageFile(const PageFile&) = delete;
    PageFile& operator=(const PageFile&) = delete;

    // Pages after the header are written encoded under key (RC4 keyed by the
    // key combined with the page number); zero writes them plain.
    void SetEncodingKey(std::uint32_t key) { encodingKey_ = key; }

    // Hands out the next page number; the page must be written before Commit.
    std::uint32_t Allocate();
    void Write(std::uint32_t page, const Page& bytes);
    std::uint32_t PageCount() const { return next_; }

    // Flushes, checks the size and renames the temporary file to the target.
    void Commit();

  private:
    std::filesystem::path target_;
    std::filesystem::path temp_;
    std::ofstream out_;
    std::uint32_t next_ = 0;
    std::uint32_t encodingKey_ = 0;
    bool committed_ = false;
};

}  // namespace ostrel::jetgen
