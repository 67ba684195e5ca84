// The XML of an agile encryption descriptor, read with expat: the keyData
// element and the password's encryptedKey element, with their attributes.

#include <expat.h>

#include <charconv>
#include <limits>
#include <map>
#include <memory>
#include <optional>

#include "components/jet/crypt/encryption_descriptor.h"

namespace ostrel::jet::crypt {
namespace {

// expat joins a namespace and an element's local name with this character.
constexpr char kNamespaceSeparator = ' ';
constexpr char kEncryptionNamespace[] = "http://schemas.microsoft.com/office/2006/encryption";
constexpr char kPasswordNamespace[] =
    "http://schemas.microsoft.com/office/2006/keyEncryptor/password";
constexpr std::size_t kMaxSaltSize = 65'536;
constexpr std::size_t kMaxBlockSize = 4'096;

using Attributes = std::map<std::string, std::string>;

std::string Qualified(const char* space, const char* local) {
    return std::string(space) + kNamespaceSeparator + local;
}

[[noreturn]] void Damaged(const std::string& what) {
    throw DescriptorError(DescriptorError::Kind::Damaged, what);
}

[[noreturn]] void Unsupported(const std::string& what) {
    throw DescriptorError(DescriptorError::Kind::Unsupported, what);
}

// What the parse found. Callbacks cannot throw through expat's C code: they
// note a failure and stop the parser.
struct ParseState {
    XML_Parser parser = nullptr;
    std::vector<std::string> open;  // qualified names of the open elements
    std::optional<Attributes> keyData;
    std::optional<Attributes> passwordKey;
    std::string failure;

    void Fail(const std::string& what) {
        if (failure.empty()) {
            failure = what;
        }
        XML_StopParser(parser, XML_FALSE);
    }
};

void XMLCALL StartElement(void* data, const XML_Char* name, const XML_Char** attributes) {
    auto& state = *static_cast<ParseState*>(data);
    const std::string element(name);
    const std::size_t depth = state.open.size();
    const auto collect = [&] {
        Attributes collected;
        for (const XML_Char** a = attributes; a[0] != nullptr; a += 2) {
            collected[a[0]] = a[1];
        }
        return collected;
    };
    if (depth == 0 && element != Qualified(kEncryptionNamespace, "encryption")) {
        state.Fail("the XML is not an encryption descriptor (root element '" + element + "')");
        return;
    }
    if (depth == 1 && element == Qualified(kEncryptionNamespace, "keyData")) {
        if (state.keyData) {
            state.Fail("the XML has more than one keyData element");
            return;
        }
        state.keyData = collect();
    }
    // encryption / keyEncryptors / keyEncryptor / p:encryptedKey. The first
    // password key is the one used; certificate keys are passed over.
    if (depth == 3 && element == Qualified(kPasswordNamespace, "encryptedKey") &&
        state.open[1] == Qualified(kEncryptionNamespace, "keyEncryptors") &&
        state.open[2] == Qualified(kEncryptionNamespace, "keyEncryptor") && !state.passwordKey) {
        state.passwordKey = collect();
    }
    state.open.push_back(element);
}

void XMLCALL EndElement(void* data, const XML_Char* /*name*/) {
    auto& state = *static_cast<ParseState*>(data);
    if (!state.open.empty()) {
        state.open.pop_back();
    }
}

// A descriptor never declares a document type; one that does could define
// entities, which are refused rather than expanded.
void XMLCALL StartDoctype(void* data, const XML_Char* /*name*/, const XML_Char* /*system*/,
                          const XML_Char* /*publicId*/, int /*hasInternalSubset*/) {
    static_cast<ParseState*>(data)->Fail("the XML declares a document type");
}

struct ParserDeleter {
    void operator()(XML_ParserStruct* parser) const { XML_ParserFree(parser); }
};

const std::string& Required(const Attributes& attributes, const char* element, const char* name) {
    const auto it = attributes.find(name);
    if (it == attributes.end()) {
        Damaged(std::string(element) + " has no " + name);
    }
    return it->second;
}

std::uint64_t Number(const Attributes& attributes, const char* element, const char* name,
                     std::uint64_t low, std::uint64_t high) {
    const std::string& text = Required(attributes, element, name);
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range) {
        Damaged(std::string(element) + " " + name + " '" + text + "' out of range (" +
                std::to_string(low) + " to " + std::to_string(high) + ")");
    }
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
        Damaged(std::string(element) + " " + name + " '" + text + "' is not a number");
    }
    if (value < low || value > high) {
        Damaged(std::string(element) + " " + name + " " + text + " out of range (" +
                std::to_string(low) + " to " + std::to_string(high) + ")");
    }
    return value;
}

std::vector<std::uint8_t> Base64(const Attributes& attributes, const char* element,
                                 const char* name) {
    auto bytes = DecodeBase64(Required(attributes, element, name));
    if (!bytes) {
        Damaged(std::string(element) + " " + name + " is not base64");
    }
    return std::move(*bytes);
}

HashAlgorithm HashNamed(const std::string& name) {
    if (name == "SHA1") {
        return HashAlgorithm::Sha1;
    }
    if (name == "SHA256") {
        return HashAlgorithm::Sha256;
    }
    if (name == "SHA384") {
        return HashAlgorithm::Sha384;
    }
    if (name == "SHA512") {
        return HashAlgorithm::Sha512;
    }
    Unsupported("hash algorithm '" + name + "'");
}

std::size_t HashSizeOf(HashAlgorithm hash) {
    switch (hash) {
        case HashAlgorithm::Sha1:
            return 20;
        case HashAlgorithm::Sha256:
            return 32;
        case HashAlgorithm::Sha384:
            return 48;
        case HashAlgorithm::Sha512:
            return 64;
    }
    return 0;
}

std::size_t RoundUp(std::size_t size, std::size_t block) {
    return (size + block - 1) / block * block;
}

AgileKeyParameters KeyParameters(const Attributes& attributes, const char* element) {
    AgileKeyParameters p;
    const std::string& cipher = Required(attributes, element, "cipherAlgorithm");
    if (cipher != "AES") {
        Unsupported("cipher '" + cipher + "'");
    }
    const std::string& chaining = Required(attributes, element, "cipherChaining");
    if (chaining != "ChainingModeCBC") {
        Unsupported("cipher chaining '" + chaining + "'");
    }
    p.hash = HashNamed(Required(attributes, element, "hashAlgorithm"));
    p.hashSize = Number(attributes, element, "hashSize", 1, 64);
    if (p.hashSize != HashSizeOf(p.hash)) {
        Damaged(std::string(element) + " hashSize " + std::to_string(p.hashSize) +
                " does not match its hash algorithm (" + std::to_string(HashSizeOf(p.hash)) + ")");
    }
    p.blockSize = Number(attributes, element, "blockSize", 2, kMaxBlockSize);
    if (p.blockSize != 16) {
        Damaged(std::string(element) + " blockSize " + std::to_string(p.blockSize) +
                " is not AES's (16)");
    }
    const std::uint64_t keyBits = Number(attributes, element, "keyBits", 0, 65'536);
    if (keyBits != 128 && keyBits != 192 && keyBits != 256) {
        Damaged(std::string(element) + " keyBits " + std::to_string(keyBits) +
                " out of range (128, 192 or 256 for AES)");
    }
    p.keySize = keyBits / 8;
    const std::uint64_t saltSize = Number(attributes, element, "saltSize", 1, kMaxSaltSize);
    p.salt = Base64(attributes, element, "saltValue");
    if (p.salt.size() != saltSize) {
        Damaged(std::string(element) + " saltValue holds " + std::to_string(p.salt.size()) +
                " bytes, not saltSize " + std::to_string(saltSize));
    }
    return p;
}

void CheckSize(const std::vector<std::uint8_t>& value, std::size_t size, const char* name) {
    if (value.size() != size) {
        Damaged(std::string("encryptedKey ") + name + " holds " + std::to_string(value.size()) +
                " bytes, not " + std::to_string(size));
    }
}

}  // namespace

AgileDescriptor ParseAgileXml(std::string_view xml) {
    // The length in front of the descriptor may count padding after the XML.
    while (!xml.empty() && xml.back() == '\0') {
        xml.remove_suffix(1);
    }
    if (xml.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        Damaged("the XML is too long");
    }
    const std::unique_ptr<XML_ParserStruct, ParserDeleter> parser(
        XML_ParserCreateNS(nullptr, kNamespaceSeparator));
    if (!parser) {
        throw CryptoError("out of memory for the XML parser");
    }
    ParseState state;
    state.parser = parser.get();
    XML_SetUserData(parser.get(), &state);
    XML_SetElementHandler(parser.get(), StartElement, EndElement);
    XML_SetStartDoctypeDeclHandler(parser.get(), StartDoctype);
    const XML_Status status =
        XML_Parse(parser.get(), xml.data(), static_cast<int>(xml.size()), XML_TRUE);
    if (!state.failure.empty()) {
        Damaged(state.failure);
    }
    if (status != XML_STATUS_OK) {
        Damaged("the XML cannot be read: " +
                std::string(XML_ErrorString(XML_GetErrorCode(parser.get()))) + " at line " +
                std::to_string(XML_GetCurrentLineNumber(parser.get())) + ", column " +
                std::to_string(XML_GetCurrentColumnNumber(parser.get())));
    }
    if (!state.keyData) {
        Damaged("the XML has no keyData");
    }
    if (!state.passwordKey) {
        Unsupported("agile encryption without a password key (a certificate only)");
    }
    AgileDescriptor d;
    d.keyData = KeyParameters(*state.keyData, "keyData");
    const Attributes& key = *state.passwordKey;
    d.passwordKey = KeyParameters(key, "encryptedKey");
    d.spinCount =
        static_cast<std::uint32_t>(Number(key, "encryptedKey", "spinCount", 0, kMaxSpinCount));
    const std::size_t block = d.passwordKey.blockSize;
    d.encryptedVerifierHashInput = Base64(key, "encryptedKey", "encryptedVerifierHashInput");
    CheckSize(d.encryptedVerifierHashInput, RoundUp(d.passwordKey.salt.size(), block),
              "encryptedVerifierHashInput");
    d.encryptedVerifierHashValue = Base64(key, "encryptedKey", "encryptedVerifierHashValue");
    CheckSize(d.encryptedVerifierHashValue, RoundUp(d.passwordKey.hashSize, block),
              "encryptedVerifierHashValue");
    d.encryptedKeyValue = Base64(key, "encryptedKey", "encryptedKeyValue");
    CheckSize(d.encryptedKeyValue, RoundUp(d.keyData.keySize, block), "encryptedKeyValue");
    return d;
}

}  // namespace ostrel::jet::crypt
