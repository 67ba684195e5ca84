// Encoded and password-protected files: the real ones we have, opened with
// their passwords, and copies of a plain file in every form of encryption,
// which must read exactly as the plain file does. Damaged descriptors and
// wrong or missing passwords must give clear errors, never a crash.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "components/jet/jet_engine.h"
#include "components/schema/schema_error.h"
#include "tests/support/encrypted_copies.h"
#include "tests/support/schema_dump.h"

namespace ostrel::jet::test {
namespace {

namespace fs = std::filesystem;
using testsupport::AceForm;
using testsupport::FileBytes;

const fs::path kShared = fs::path(OSTREL_TESTDATA_DIR).parent_path();
const std::string kSample = OSTREL_SOURCE_DIR "/samples/sample-business.mdb";
const std::string kLabel = "copy.accdb";

// A provider that gives password (or none) and notes for which paths it was
// asked. It must outlive the provider it makes.
struct CountingProvider {
    std::optional<std::string> password;
    std::vector<std::string> asked = {};

    schema::PasswordProvider Get() {
        return [this](const std::string& path) -> std::optional<schema::Password> {
            asked.push_back(path);
            if (!password) {
                return std::nullopt;
            }
            return schema::Password(*password);
        };
    }
};

// Opens bytes and returns the PasswordError's or SchemaError's message
// ("" when it opened); kind is set for a PasswordError.
std::string OpenError(const FileBytes& bytes, const schema::PasswordProvider& provider,
                      std::optional<schema::PasswordError::Reason>* kind = nullptr) {
    try {
        const auto db = OpenDatabaseFromMemory(bytes, kLabel, provider);
        (void)testsupport::DumpSchema(*db);
    } catch (const schema::PasswordError& e) {
        if (kind != nullptr) {
            *kind = e.WhatFailed();
        }
        return e.what();
    } catch (const schema::SchemaError& e) {
        return e.what();
    }
    return "";
}

// The plain sample database (Jet 4), relabelled as an ACE file.
const FileBytes& PlainAce() {
    static const FileBytes plain = testsupport::AsAceFile(testsupport::ReadFileBytes(kSample));
    return plain;
}

std::string PlainAceDump() {
    return testsupport::DumpSchema(*OpenDatabaseFromMemory(PlainAce(), kLabel));
}

struct Form {
    const char* name;
    AceForm form;
};
const Form kForms[] = {
    {"RC4 CryptoAPI, 40 bits", AceForm::Rc4CryptoApi40},
    {"RC4 CryptoAPI, 128 bits", AceForm::Rc4CryptoApi128},
    {"ECMA-376 standard, AES-128", AceForm::StandardAes128},
    {"CryptoAPI AES-256", AceForm::CryptoApiAes256},
    {"agile, SHA-512 and AES-256", AceForm::AgileSha512Aes256},
    {"agile, SHA-1 and AES-128", AceForm::AgileSha1Aes128},
};

// The password as typed (UTF-8) and as the encrypting side hashes it.
const std::string kPassword = "Pässwort 7";
const std::u16string kPassword16 = u"Pässwort 7";

TEST(EncryptedForms, EveryFormReadsLikeThePlainFile) {
    const std::string plain = PlainAceDump();
    ASSERT_NE(plain.find("T Customers"), std::string::npos) << plain;
    for (const Form& f : kForms) {
        SCOPED_TRACE(f.name);
        const FileBytes encrypted = testsupport::EncryptedAceCopy(PlainAce(), f.form, kPassword16);
        CountingProvider provider{kPassword, {}};
        const auto db = OpenDatabaseFromMemory(encrypted, kLabel, provider.Get());
        EXPECT_EQ(testsupport::DumpSchema(*db), plain);
        EXPECT_EQ(provider.asked, std::vector<std::string>{kLabel});

        for (const char* wrong : {"pässwort 7", "Pässwort", "Pässwort 7 ", ""}) {
            SCOPED_TRACE(wrong);
            std::optional<schema::PasswordError::Reason> kind;
            const std::string message = OpenError(encrypted, CountingProvider{wrong}.Get(), &kind);
            EXPECT_EQ(message, "wrong password for " + kLabel);
            EXPECT_EQ(kind, schema::PasswordError::Reason::Wrong);
        }
    }
}

TEST(EncryptedForms, MissingPasswordIsToldApartFromAWrongOne) {
    const FileBytes encrypted =
        testsupport::EncryptedAceCopy(PlainAce(), AceForm::AgileSha512Aes256, kPassword16);
    std::optional<schema::PasswordError::Reason> kind;
    EXPECT_EQ(OpenError(encrypted, {}, &kind), schema::MissingPasswordMessage(kLabel));
    EXPECT_EQ(kind, schema::PasswordError::Reason::Missing);
    kind.reset();
    CountingProvider none{std::nullopt, {}};
    EXPECT_EQ(OpenError(encrypted, none.Get(), &kind), schema::MissingPasswordMessage(kLabel));
    EXPECT_EQ(kind, schema::PasswordError::Reason::Missing);
    EXPECT_EQ(none.asked.size(), 1U);
    // A password that is not UTF-8 is wrong, and says why.
    kind.reset();
    const std::string message = OpenError(encrypted, CountingProvider{"P\xE4sswort"}.Get(), &kind);
    EXPECT_EQ(message, "wrong password for " + kLabel + ": the password is not UTF-8 text");
    EXPECT_EQ(kind, schema::PasswordError::Reason::Wrong);
}

TEST(EncryptedForms, PlainFilesNeverAskForAPassword) {
    CountingProvider provider{kPassword, {}};
    (void)testsupport::DumpSchema(*OpenDatabaseFromMemory(PlainAce(), kLabel, provider.Get()));
    (void)testsupport::DumpSchema(
        *OpenDatabaseFromMemory(testsupport::ReadFileBytes(kSample), kLabel, provider.Get()));
    EXPECT_TRUE(provider.asked.empty());
}

// A damaged descriptor is told as damage (or as a form that cannot be read)
// before any password is asked for, and never crashes or hangs.
TEST(EncryptedForms, DamagedDescriptorsAreClearErrors) {
    const FileBytes agile =
        testsupport::EncryptedAceCopy(PlainAce(), AceForm::AgileSha512Aes256, kPassword16);
    const FileBytes rc4 =
        testsupport::EncryptedAceCopy(PlainAce(), AceForm::Rc4CryptoApi40, kPassword16);
    const FileBytes aes =
        testsupport::EncryptedAceCopy(PlainAce(), AceForm::StandardAes128, kPassword16);
    using testsupport::WithDescriptorEdit;
    const FileBytes agileXml = testsupport::DescriptorOf(agile);
    const FileBytes cut(agileXml.begin(), agileXml.end() - 120);
    const FileBytes rc4Descriptor = testsupport::DescriptorOf(rc4);

    struct Case {
        const char* what;
        FileBytes file;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"truncated XML", testsupport::WithDescriptor(agile, cut),
         "damaged: encryption descriptor: the XML cannot be read"},
        {"salt size out of range",
         WithDescriptorEdit(agile, "saltSize=\"16\"", "saltSize=\"99999\""),
         "keyData saltSize 99999 out of range (1 to 65536)"},
        {"salt size unlike the salt",
         WithDescriptorEdit(agile, "saltSize=\"16\"", "saltSize=\"24\""),
         "saltValue holds 16 bytes, not saltSize 24"},
        {"key size out of range", WithDescriptorEdit(agile, "keyBits=\"256\"", "keyBits=\"4096\""),
         "keyData keyBits 4096 out of range (128, 192 or 256 for AES)"},
        {"spin count of a billion",
         WithDescriptorEdit(agile, "spinCount=\"1000\"", "spinCount=\"1000000000\""),
         "encryptedKey spinCount 1000000000 out of range (0 to 10000000)"},
        {"negative spin count", WithDescriptorEdit(agile, "spinCount=\"1000\"", "spinCount=\"-1\""),
         "encryptedKey spinCount '-1' is not a number"},
        {"hash size unlike the hash",
         WithDescriptorEdit(agile, "hashSize=\"64\"", "hashSize=\"20\""),
         "keyData hashSize 20 does not match its hash algorithm (64)"},
        {"salt not base64", WithDescriptorEdit(agile, "saltValue=\"", "saltValue=\"*"),
         "keyData saltValue is not base64"},
        {"unknown cipher",
         WithDescriptorEdit(agile, "cipherAlgorithm=\"AES\"", "cipherAlgorithm=\"DES\""),
         "encrypted in a form that cannot be read: cipher 'DES'"},
        {"document type with entities",
         WithDescriptorEdit(agile, "<encryption ",
                            "<!DOCTYPE e [<!ENTITY a \"aaaaaaaa\">]><encryption "),
         "the XML declares a document type"},
        {"no keyData", WithDescriptorEdit(agile, "<keyData ", "<keyDatum "),
         "the XML has no keyData"},
        {"agile reserved field",
         WithDescriptorEdit(agile, std::string("\x40\0\0\0", 4), std::string("\x41\0\0\0", 4)),
         "reserved field is 0x41"},
        {"RC4 key size out of range",
         testsupport::WithDescriptor(rc4,
                                     [&] {
                                         FileBytes d = rc4Descriptor;
                                         d[12 + 16] = 0x00;  // key size 40 bits -> 256 bits (0x100)
                                         d[12 + 17] = 0x01;
                                         return d;
                                     }()),
         "RC4 key size 256 bits out of range (40 to 128, in steps of 8)"},
        {"CryptoAPI salt size",
         testsupport::WithDescriptor(rc4,
                                     [&] {
                                         FileBytes d = rc4Descriptor;
                                         const std::size_t header = d[8] | (d[9] << 8);
                                         d[12 + header] = 17;
                                         return d;
                                     }()),
         "salt size 17 out of range (16)"},
        {"CryptoAPI header size",
         testsupport::WithDescriptor(rc4,
                                     [&] {
                                         FileBytes d = rc4Descriptor;
                                         d[8] = 0xFF;
                                         d[9] = 0xFF;
                                         return d;
                                     }()),
         "header size 65535 out of range"},
        {"CryptoAPI descriptor cut short",
         testsupport::WithDescriptor(rc4,
                                     FileBytes(rc4Descriptor.begin(), rc4Descriptor.end() - 5)),
         "the verifier hash runs past the end of the descriptor"},
        {"extensible encryption",
         testsupport::WithDescriptor(rc4,
                                     [&] {
                                         FileBytes d = rc4Descriptor;
                                         d[2] = 3;
                                         return d;
                                     }()),
         "encrypted in a form that cannot be read: extensible encryption (version 4.3)"},
        {"no descriptor", testsupport::WithDescriptor(rc4, {}),
         "the header holds an encoding key but no encryption descriptor"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CountingProvider provider{kPassword, {}};
        const auto start = std::chrono::steady_clock::now();
        const std::string message = OpenError(c.file, provider.Get());
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        EXPECT_EQ(message.rfind(kLabel + ": ", 0), 0U) << message;
        EXPECT_NE(message.find(c.message), std::string::npos) << message;
        EXPECT_TRUE(provider.asked.empty());
    }

    // Verifiers that do not match the right password: the stored hash
    // altered, in each form.
    const std::vector<std::pair<const char*, FileBytes>> altered = {
        {"agile verifier hash", WithDescriptorEdit(agile, "encryptedVerifierHashValue=\"",
                                                   "encryptedVerifierHashValue=\"AAAA")},
        {"RC4 verifier hash",
         [&] {
             FileBytes d = rc4Descriptor;
             d.back() ^= 0x01;
             return testsupport::WithDescriptor(rc4, d);
         }()},
        {"AES verifier hash",
         [&] {
             FileBytes d = testsupport::DescriptorOf(aes);
             d[d.size() - 32] ^= 0x80;
             return testsupport::WithDescriptor(aes, d);
         }()},
    };
    for (const auto& [what, file] : altered) {
        SCOPED_TRACE(what);
        std::optional<schema::PasswordError::Reason> kind;
        std::string message = OpenError(file, CountingProvider{kPassword}.Get(), &kind);
        if (std::string(what) == "agile verifier hash") {
            // Four more base64 characters make the value three bytes too long.
            EXPECT_NE(message.find("encryptedVerifierHashValue holds 67 bytes, not 64"),
                      std::string::npos)
                << message;
            continue;
        }
        EXPECT_EQ(message, "wrong password for " + kLabel);
        EXPECT_EQ(kind, schema::PasswordError::Reason::Wrong);
    }
}

// The real encrypted files we have, each with its password. Skips when the
// shared test data is absent.
struct RealFile {
    const char* path;  // below the shared folder
    std::optional<std::string> password;
    const char* table;
    std::vector<std::string> fields;
};

const RealFile kRealFiles[] = {
    {"testdata-encrypted/db-enc.mdb", std::nullopt, "Table1", {"ID", "col1", "col2"}},
    {"testdata-encrypted/db2007-enc.accdb", "Test123", "Table1", {}},
    {"testdata/mdbreader/password/data/V2010_with-password.accdb",
     "password",
     "Table1",
     {"ID", "Data"}},
};

bool MdbtoolsPresent() {
    return std::system("command -v mdb-schema >/dev/null 2>&1") == 0;
}

std::string Output(const std::string& command) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    char buffer[4096];
    for (std::size_t n = 0;
         pipe != nullptr && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        out.append(buffer, n);
    }
    if (pipe != nullptr) {
        ::pclose(pipe);
    }
    return out;
}

TEST(EncryptedRealFiles, OpenWithTheirPasswordsAndReadCompletely) {
    for (const RealFile& r : kRealFiles) {
        const fs::path path = kShared / r.path;
        SCOPED_TRACE(path.string());
        if (!fs::exists(path)) {
            GTEST_SKIP() << "shared test data absent: " << path;
        }
        CountingProvider provider{r.password, {}};
        JetEngine engine;
        engine.SetPasswordProvider(provider.Get());
        const auto db = engine.OpenDatabase(path.string());
        const std::string dump = testsupport::DumpSchema(*db);
        EXPECT_EQ(provider.asked.size(), r.password ? 1U : 0U);
        if (r.password) {
            EXPECT_EQ(provider.asked.front(), path.string());
            // A wrong one is told as such, naming the file.
            CountingProvider wrong{*r.password + "x"};
            engine.SetPasswordProvider(wrong.Get());
            try {
                engine.OpenDatabase(path.string());
                ADD_FAILURE() << "opened with a wrong password";
            } catch (const schema::PasswordError& e) {
                EXPECT_EQ(std::string(e.what()), "wrong password for " + path.string());
            }
        }
        const schema::TableDef* table = nullptr;
        for (int i = 0; i < db->TableDefs().Count(); ++i) {
            if (db->TableDefs().Item(i).Name() == r.table) {
                table = &db->TableDefs().Item(i);
            }
        }
        ASSERT_NE(table, nullptr) << dump;
        std::vector<std::string> fields;
        for (int i = 0; i < table->Fields().Count(); ++i) {
            fields.push_back(table->Fields().Item(i).Name());
        }
        if (!r.fields.empty()) {
            EXPECT_EQ(fields, r.fields);
        } else {
            EXPECT_FALSE(fields.empty());
        }
        // mdbtools reads encoded Jet files (not password-protected ACE ones):
        // the same tables and columns.
        if (!r.password && MdbtoolsPresent()) {
            const std::string quoted = "'" + path.string() + "'";
            std::istringstream listed(Output("mdb-tables -1 " + quoted));
            std::set<std::string> theirs;
            for (std::string name; std::getline(listed, name);) {
                if (!name.empty() && name.rfind("MSys", 0) != 0) {
                    theirs.insert(name);
                }
            }
            std::set<std::string> ours;
            for (int i = 0; i < db->TableDefs().Count(); ++i) {
                const std::string name = db->TableDefs().Item(i).Name();
                if (name.rfind("MSys", 0) != 0) {
                    ours.insert(name);
                }
            }
            EXPECT_EQ(ours, theirs);
            const std::string schemaText =
                Output("mdb-schema --no-indexes --no-relations " + quoted + " access");
            for (const std::string& field : fields) {
                EXPECT_NE(schemaText.find("[" + field + "]"), std::string::npos) << field;
            }
        }
    }
}

// Real plain files of every version, encoded (Jet 3 and Jet 4) or put under
// a password in every form (ACE), read exactly as the plain files.
TEST(EncryptedRealFiles, PlainFilesEncryptedInEveryFormReadAlike) {
    const fs::path data(OSTREL_TESTDATA_DIR);
    if (!fs::exists(data)) {
        GTEST_SKIP() << "shared test data absent: " << data;
    }
    const std::vector<std::string> jet = {
        "jackcess/V1997/queryTestV1997.mdb", "jackcess/V1997/overflowTestV1997.mdb",
        "jackcess/V2000/queryTestV2000.mdb", "linq2db/issue_1164.mdb"};
    const std::vector<std::string> ace = {"jackcess/V2007/complexDataTestV2007.accdb",
                                          "ucanaccess/parameters.accdb",
                                          "efcore-jet/Ace16Types.accdb"};
    for (const std::string& relative : jet) {
        SCOPED_TRACE(relative);
        const FileBytes plain = testsupport::ReadFileBytes((data / relative).string());
        const std::string expected =
            testsupport::DumpSchema(*OpenDatabaseFromMemory(plain, kLabel));
        const auto db =
            OpenDatabaseFromMemory(testsupport::EncodedJetCopy(plain, 0x13579BDF), kLabel);
        EXPECT_EQ(testsupport::DumpSchema(*db), expected);
    }
    for (const std::string& relative : ace) {
        SCOPED_TRACE(relative);
        const FileBytes plain = testsupport::ReadFileBytes((data / relative).string());
        const std::string expected =
            testsupport::DumpSchema(*OpenDatabaseFromMemory(plain, kLabel));
        for (const Form& f : kForms) {
            SCOPED_TRACE(f.name);
            CountingProvider provider{kPassword};
            const auto db = OpenDatabaseFromMemory(
                testsupport::EncryptedAceCopy(plain, f.form, kPassword16), kLabel, provider.Get());
            EXPECT_EQ(testsupport::DumpSchema(*db), expected);
        }
    }
}

}  // namespace
}  // namespace ostrel::jet::test
