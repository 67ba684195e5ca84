#include "components/jet/page_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

#include "components/jet/crypt/page_cipher.h"
#include "components/jet/database_encryption.h"
#include "components/jet/decrypted_pages.h"
#include "components/jet/rc4.h"
#include "components/schema/schema_error.h"

namespace ostrel::jet {
namespace {

using schema::SchemaError;

constexpr std::array<std::uint8_t, 4> kMagic = {0x00, 0x01, 0x00, 0x00};
constexpr char kJetName[] = "Standard Jet DB";
constexpr char kAceName[] = "Standard ACE DB";
constexpr std::size_t kEngineNameOffset = 4;
constexpr std::size_t kVersionOffset = 0x14;
constexpr std::size_t kMaskedHeaderOffset = 0x18;
constexpr std::array<std::uint8_t, 4> kHeaderKey = {0xC7, 0xDA, 0x39, 0x6B};
// MSysObjects, the catalog, always has its table definition on page 2.
constexpr std::uint32_t kCatalogPage = 2;

// Closes a file descriptor when it goes out of scope.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return fd_; }

  private:
    int fd_;
};

}  // namespace

PageFile::~PageFile() {
    if (mapping_ != nullptr) {
        ::munmap(mapping_, size_);
    }
}

std::unique_ptr<PageFile> PageFile::Open(const std::string& path,
                                         const schema::PasswordProvider& passwords) {
    std::unique_ptr<PageFile> file(new PageFile());
    file->label_ = path;
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0) {
        throw SchemaError(path + ": cannot open: " + std::strerror(errno));
    }
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        throw SchemaError(path + ": not an Access database (not a regular file)");
    }
    file->size_ = static_cast<std::size_t>(info.st_size);
    if (file->size_ > 0) {
        void* mapping = ::mmap(nullptr, file->size_, PROT_READ, MAP_PRIVATE, fd.Get(), 0);
        if (mapping == MAP_FAILED) {
            throw SchemaError(path + ": cannot read: " + std::strerror(errno));
        }
        file->mapping_ = mapping;
        file->data_ = static_cast<const std::uint8_t*>(mapping);
    }
    file->writable_ = ::access(path.c_str(), W_OK) == 0;
    file->fromPath_ = true;
    file->CheckHeader(passwords);
    return file;
}

std::unique_ptr<PageFile> PageFile::FromBuffer(std::span<const std::uint8_t> bytes,
                                               const std::string& label,
                                               const schema::PasswordProvider& passwords) {
    std::unique_ptr<PageFile> file(new PageFile());
    file->label_ = label;
    file->owned_.assign(bytes.begin(), bytes.end());
    file->data_ = file->owned_.data();
    file->size_ = file->owned_.size();
    file->writable_ = false;
    file->CheckHeader(passwords);
    return file;
}

void PageFile::CheckHeader(const schema::PasswordProvider& passwords) {
    const std::size_t nameLength = sizeof kJetName - 1;
    if (size_ < kEngineNameOffset + nameLength ||
        std::memcmp(data_, kMagic.data(), kMagic.size()) != 0) {
        throw SchemaError(label_ + ": not an Access database");
    }
    const bool jet = std::memcmp(data_ + kEngineNameOffset, kJetName, nameLength) == 0;
    const bool ace = std::memcmp(data_ + kEngineNameOffset, kAceName, nameLength) == 0;
    if (!jet && !ace) {
        throw SchemaError(label_ + ": not an Access database");
    }
    if (size_ <= kVersionOffset) {
        throw SchemaError(label_ + ": truncated: the file ends inside its header");
    }
    format_ = FormatForVersion(data_[kVersionOffset]);
    if (format_ == nullptr || format_->isAce != ace) {
        throw SchemaError(label_ + ": unknown Access file version (version byte " +
                          std::to_string(data_[kVersionOffset]) + ")");
    }
    const std::uint32_t pageSize = format_->pageSize;
    if (size_ < static_cast<std::size_t>(pageSize) * (kCatalogPage + 1)) {
        throw SchemaError(label_ + ": truncated: " + std::to_string(size_) +
                          " bytes, too short for a database with " + std::to_string(pageSize) +
                          "-byte pages");
    }
    pageCount_ = static_cast<std::uint32_t>(
        std::min<std::size_t>(size_ / pageSize, std::size_t{0xFFFFFFFF}));

    // Part of the header is masked with a fixed RC4 key stream.
    std::vector<std::uint8_t> header(data_, data_ + pageSize);
    const auto maskLength = format_->headerMaskLength;
    Rc4Xor(kHeaderKey, std::span<std::uint8_t>(header).subspan(kMaskedHeaderOffset, maskLength));
    const ByteCursor cursor(header, label_, "database header");
    const std::uint32_t encodingKey = cursor.U32(format_->headerEncodingKeyOffset);
    if (encodingKey != 0) {
        cipher_ = PageCipherFor({data_, pageSize}, *format_, encodingKey, label_, passwords);
        decrypted_ = std::make_unique<DecryptedPages>(pageSize, pageCount_);
    }
    codePage_ = cursor.U16(format_->headerCodePageOffset);
    const auto sortOffset = format_->headerSortOrderOffset;
    sortOrder_ = format_->headerSortOrderSize == 2
                     ? cursor.U16(sortOffset)
                     : static_cast<std::int32_t>(cursor.U16(sortOffset));
}

std::span<const std::uint8_t> PageFile::Page(std::uint32_t number,
                                             const std::string& context) const {
    if (number >= pageCount_) {
        ThrowDamaged(label_, context + ": page " + std::to_string(number) +
                                 " is beyond the end of the file (" + std::to_string(pageCount_) +
                                 " pages)");
    }
    const std::size_t pageSize = format_->pageSize;
    const std::span<const std::uint8_t> stored(data_ + static_cast<std::size_t>(number) * pageSize,
                                               pageSize);
    if (!cipher_ || number == 0) {
        return stored;
    }
    if (const std::uint8_t* known = decrypted_->Find(number)) {
        return {known, pageSize};
    }
    std::uint8_t* room = decrypted_->Reserve();
    try {
        cipher_->Decrypt(number, stored, {room, pageSize});
    } catch (const crypt::CryptoError& e) {
        throw SchemaError(label_ + ": cannot decrypt page " + std::to_string(number) + ": " +
                          e.what());
    }
    decrypted_->Keep(number);
    return {room, pageSize};
}

std::size_t PageFile::DecryptedPageCount() const {
    return decrypted_ ? decrypted_->Count() : 0;
}

ByteCursor PageFile::PageCursor(std::uint32_t number, const std::string& context) const {
    return {Page(number, context), label_, context + ", page " + std::to_string(number)};
}

}  // namespace ostrel::jet
