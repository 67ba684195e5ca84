#pragma once

// Encoded and password-protected copies of plain database files, made the
// way Access makes them, for tests that must not depend on the few
// encrypted files there are. Written with OpenSSL on its own, apart from
// the reader's decryption, so that the two check each other.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ostrel::testsupport {

using FileBytes = std::vector<std::uint8_t>;

// Writes a value into the masked part of a header page (Jet 3: 2 KB pages,
// else 4 KB).
void PutMaskedHeader32(FileBytes& file, std::size_t offset, std::uint32_t value);

// A Jet 3 or Jet 4 file with its pages encoded under key (not zero), as
// Access's "Encode Database" leaves it.
FileBytes EncodedJetCopy(FileBytes plain, std::uint32_t key);

// A Jet 4 file relabelled as an ACE 12 (Access 2007) file; the layouts of
// the two agree on everything a plain file without complex columns holds.
FileBytes AsAceFile(FileBytes jet4);

// The three forms of an ACE database password, with the key sizes and
// hashes Access and Office use.
enum class AceForm {
    Rc4CryptoApi40,     // RC4 CryptoAPI, 40-bit key (Access 2007's default)
    Rc4CryptoApi128,    // RC4 CryptoAPI, 128-bit key
    StandardAes128,     // ECMA-376 standard encryption: AES-128, 50,000 rounds
    CryptoApiAes256,    // AES-256 through CryptoAPI without the AES flag: no rounds
    AgileSha512Aes256,  // agile, as Access 2010 and later write it
    AgileSha1Aes128,    // agile, as Access 2007 SP writes it
};

struct AceOptions {
    std::uint32_t encodingKey = 0x5A17C0DE;
    std::uint32_t spinCount = 1000;  // agile only; Access writes 100,000
};

// An ACE file with its pages encrypted under password in the given form and
// the descriptor in its header.
FileBytes EncryptedAceCopy(FileBytes plainAce, AceForm form, std::u16string_view password,
                           const AceOptions& options = {});

// The encryption descriptor in an ACE file's header (from its version
// field on), and a copy with it replaced (its length field too).
FileBytes DescriptorOf(const FileBytes& file);
FileBytes WithDescriptor(FileBytes file, const FileBytes& descriptor);
// A copy whose descriptor has the first `from` replaced with `to`; the
// descriptor must hold `from`.
FileBytes WithDescriptorEdit(const FileBytes& file, std::string_view from, std::string_view to);

// Reads a whole file.
FileBytes ReadFileBytes(const std::string& path);

}  // namespace ostrel::testsupport
