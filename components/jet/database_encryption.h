#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "components/jet/crypt/page_cipher.h"
#include "components/jet/jet_format.h"
#include "components/schema/password.h"

namespace ostrel::jet {

// The cipher of a file's pages, from its header page (as stored) and the
// encoding key of its header (unmasked; not zero). Jet 3 and Jet 4 files are
// only encoded; ACE files carry an encryption descriptor and need the
// password, which is asked of passwords only after the descriptor has been
// read. Errors are SchemaError naming the file as label: a damaged or
// unsupported descriptor, and PasswordError for a missing or wrong password.
std::unique_ptr<crypt::PageCipher> PageCipherFor(std::span<const std::uint8_t> headerPage,
                                                 const JetFormat& format, std::uint32_t encodingKey,
                                                 const std::string& label,
                                                 const schema::PasswordProvider& passwords);

}  // namespace ostrel::jet
