#include "components/schema/password.h"

#include <cstring>
#include <utility>

namespace ostrel::schema {

void WipeMemory(void* data, std::size_t size) noexcept {
    if (data != nullptr && size > 0) {
        ::explicit_bzero(data, size);
    }
}

Password::Password(std::string_view utf8) : bytes_(utf8.begin(), utf8.end()) {}

Password::~Password() {
    Wipe();
}

Password::Password(Password&& other) noexcept : bytes_(std::move(other.bytes_)) {
    other.bytes_.clear();
}

Password& Password::operator=(Password&& other) noexcept {
    if (this != &other) {
        Wipe();
        bytes_ = std::move(other.bytes_);
        other.bytes_.clear();
    }
    return *this;
}

void Password::Wipe() noexcept {
    WipeMemory(bytes_.data(), bytes_.size());
    bytes_.clear();
}

}  // namespace ostrel::schema
