#include "components/jet/database_encryption.h"

#include "components/jet/byte_cursor.h"
#include "components/schema/schema_error.h"

namespace ostrel::jet {
namespace {

// Where ACE files keep the length of their encryption descriptor, which
// follows it.
constexpr std::size_t kDescriptorLengthOffset = 0x299;

crypt::EncryptionDescriptor ReadDescriptor(std::span<const std::uint8_t> headerPage,
                                           const std::string& label) {
    const ByteCursor header(headerPage, label, "encryption descriptor");
    const std::uint16_t length = header.U16(kDescriptorLengthOffset);
    if (length == 0) {
        ThrowDamaged(label, "the header holds an encoding key but no encryption descriptor");
    }
    if (kDescriptorLengthOffset + 2 + std::size_t{length} > headerPage.size()) {
        ThrowDamaged(label, "encryption descriptor of " + std::to_string(length) +
                                " bytes runs past the end of the header page");
    }
    try {
        return crypt::ParseEncryptionDescriptor(header.Bytes(kDescriptorLengthOffset + 2, length));
    } catch (const crypt::DescriptorError& e) {
        if (e.WhatKind() == crypt::DescriptorError::Kind::Unsupported) {
            throw schema::SchemaError(label +
                                      ": encrypted in a form that cannot be read: " + e.what());
        }
        ThrowDamaged(label, std::string("encryption descriptor: ") + e.what());
    }
}

}  // namespace

std::unique_ptr<crypt::PageCipher> PageCipherFor(std::span<const std::uint8_t> headerPage,
                                                 const JetFormat& format, std::uint32_t encodingKey,
                                                 const std::string& label,
                                                 const schema::PasswordProvider& passwords) {
    try {
        if (!format.isAce) {
            return crypt::MakeJetPageCipher(encodingKey);
        }
        const crypt::EncryptionDescriptor descriptor = ReadDescriptor(headerPage, label);
        std::optional<schema::Password> password;
        if (passwords) {
            password = passwords(label);
        }
        if (!password) {
            throw schema::PasswordError(schema::PasswordError::Reason::Missing, label,
                                        schema::MissingPasswordMessage(label));
        }
        try {
            return crypt::MakePasswordPageCipher(descriptor, encodingKey, password->Utf8());
        } catch (const crypt::WrongPasswordError& e) {
            std::string message = schema::WrongPasswordMessage(label);
            if (e.WhatFailed() == crypt::WrongPasswordError::Reason::NotText) {
                message += std::string(": ") + e.what();
            }
            throw schema::PasswordError(schema::PasswordError::Reason::Wrong, label, message);
        }
    } catch (const crypt::CryptoError& e) {
        throw schema::SchemaError(label + ": cannot decrypt: " + e.what());
    }
}

}  // namespace ostrel::jet
