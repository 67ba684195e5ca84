#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "components/jet/byte_cursor.h"
#include "components/jet/jet_format.h"
#include "components/schema/password.h"

namespace ostrel::jet {

namespace crypt {
class PageCipher;
}
class DecryptedPages;

// The bytes of one database file, opened read-only, seen as pages. Opening
// checks the header: the file must be an Access database of a known version
// and long enough to hold its catalog. The pages of an encoded or
// password-protected file are decrypted as they are read, in memory only;
// the password, asked of passwords when the file needs one, is not kept.
// Errors are SchemaError naming the file (PasswordError for a missing or
// wrong password).
//
// Reading pages is not for several threads at once (decrypted pages are
// kept as they are first read).
class PageFile {
  public:
    // Maps the file at path read-only.
    static std::unique_ptr<PageFile> Open(const std::string& path,
                                          const schema::PasswordProvider& passwords = {});
    // Takes a copy of bytes held in memory; label names them in messages.
    static std::unique_ptr<PageFile> FromBuffer(std::span<const std::uint8_t> bytes,
                                                const std::string& label,
                                                const schema::PasswordProvider& passwords = {});

    ~PageFile();
    PageFile(const PageFile&) = delete;
    PageFile& operator=(const PageFile&) = delete;

    const JetFormat& Format() const { return *format_; }
    const std::string& Label() const { return label_; }
    std::uint32_t PageCount() const { return pageCount_; }
    std::int32_t SortOrder() const { return sortOrder_; }
    int CodePage() const { return codePage_; }
    bool Writable() const { return writable_; }
    // Whether the bytes come from a file named by Label (not from memory).
    bool FromPath() const { return fromPath_; }
    // Whether the pages after the header are encrypted (encoded or under a
    // password).
    bool Encrypted() const { return cipher_ != nullptr; }
    // How many pages have been decrypted so far.
    std::size_t DecryptedPageCount() const;

    // The page with this number; a number outside the file is reported as
    // damage of `context`.
    std::span<const std::uint8_t> Page(std::uint32_t number, const std::string& context) const;
    ByteCursor PageCursor(std::uint32_t number, const std::string& context) const;

  private:
    PageFile() = default;
    void CheckHeader(const schema::PasswordProvider& passwords);

    std::string label_;
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    void* mapping_ = nullptr;  // munmap'ed on destruction when set
    std::vector<std::uint8_t> owned_;
    const JetFormat* format_ = nullptr;
    std::uint32_t pageCount_ = 0;
    std::int32_t sortOrder_ = 0;
    int codePage_ = 0;
    bool writable_ = false;
    bool fromPath_ = false;
    std::unique_ptr<crypt::PageCipher> cipher_;
    std::unique_ptr<DecryptedPages> decrypted_;
};

}  // namespace ostrel::jet
