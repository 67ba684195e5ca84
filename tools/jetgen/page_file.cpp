#include "tools/jetgen/page_file.h"

#include <system_error>

#include "tools/jetgen/generator_error.h"
#include "tools/jetgen/header_page.h"

namespace ostrel::jetgen {

namespace {
// Jet 4 page numbers are stored in three bytes in row pointers.
constexpr std::uint32_t kMaxPages = 0x00FFFFFF;
}  // namespace

PageFile::PageFile(std::filesystem::path target)
    : target_(std::move(target)), temp_(target_.string() + ".partial") {
    out_.open(temp_, std::ios::binary | std::ios::trunc);
    if (!out_) {
        throw GeneratorError("cannot create \"" + temp_.string() + "\"");
    }
}

PageFile::~PageFile() {
    if (!committed_) {
        out_.close();
        std::error_code ignored;
        std::filesystem::remove(temp_, ignored);
    }
}

std::uint32_t PageFile::Allocate() {
    if (next_ >= kMaxPages) {
        throw GeneratorError("database would exceed the Jet page limit");
    }
    return next_++;
}

void PageFile::Write(std::uint32_t page, const Page& bytes) {
    if (page >= next_) {
        throw GeneratorError("internal: write to an unallocated page");
    }
    out_.seekp(static_cast<std::streamoff>(page) * static_cast<std::streamoff>(kPageSize));
    if (encodingKey_ != 0 && page != 0) {
        Page encoded = bytes;
        const std::uint32_t key = encodingKey_ ^ page;
        const std::array<std::uint8_t, 4> keyBytes = {
            static_cast<std::uint8_t>(key), static_cast<std::uint8_t>(key >> 8),
            static_cast<std::uint8_t>(key >> 16), static_cast<std::uint8_t>(key >> 24)};
        Rc4Apply(keyBytes.data(), keyBytes.size(), encoded.data(), encoded.size());
        out_.write(reinterpret_cast<const char*>(encoded.data()), kPageSize);
    } else {
        out_.write(reinterpret_cast<const char*>(bytes.data()), kPageSize);
    }
    if (!out_) {
        throw GeneratorError("write failed on \"" + temp_.string() + "\"");
    }
}

void PageFile::Commit() {
    out_.flush();
    out_.close();
    if (!out_) {
        throw GeneratorError("write failed on \"" + temp_.string() + "\"");
    }
    std::error_code ec;
    const auto size = std::filesystem::file_size(temp_, ec);
    if (ec || size != static_cast<std::uintmax_t>(next_) * kPageSize) {
        throw GeneratorError("internal: page left unwritten in \"" + temp_.string() + "\"");
    }
    std::filesystem::rename(temp_, target_, ec);
    if (ec) {
        throw GeneratorError("cannot rename to \"" + target_.string() + "\": " + ec.message());
    }
    committed_ = true;
}

}  // namespace ostrel::jetgen
