#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ostrel::schema {

// A database password, as UTF-8. It is held only as long as it is needed:
// its bytes are wiped when it is destroyed or moved from, and it is never
// copied by accident (Copy makes a second one on purpose).
class Password {
  public:
    Password() = default;
    explicit Password(std::string_view utf8);
    ~Password();
    Password(Password&& other) noexcept;
    Password& operator=(Password&& other) noexcept;
    Password(const Password&) = delete;
    Password& operator=(const Password&) = delete;

    std::string_view Utf8() const { return {bytes_.data(), bytes_.size()}; }
    bool Empty() const { return bytes_.empty(); }
    Password Copy() const { return Password(Utf8()); }

  private:
    void Wipe() noexcept;

    std::vector<char> bytes_;
};

// Overwrites memory that held a secret so that the compiler cannot leave the
// writes out.
void WipeMemory(void* data, std::size_t size) noexcept;

// Asked for the password of the database at path when, and only when, the
// file needs one. Returns nothing when no password can be had (the user gave
// none); opening then fails with PasswordError (Reason::Missing). A provider
// may also throw PasswordError itself, to say how a password can be given.
using PasswordProvider = std::function<std::optional<Password>(const std::string& path)>;

}  // namespace ostrel::schema
