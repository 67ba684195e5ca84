// Encoded copies written by the generator: the reader, and mdbtools, must
// read them exactly as the plain files of the same descriptions.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "components/jet/jet_engine.h"
#include "tests/jetgen/tool_runner.h"
#include "tests/support/schema_dump.h"
#include "tools/jetgen/description_json.h"
#include "tools/jetgen/generator.h"
#include "tools/jetgen/header_page.h"

namespace ostrel::jetgen::test {
namespace {

std::vector<std::uint8_t> Bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Output(const std::string& tool, const std::filesystem::path& file,
                   const std::string& rest = {}) {
    return RunCommand(tool + " " + ShellQuote(file.string()) + rest).output;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The descriptions: the bundled sample (tables, links, relationships,
// queries) and one with rows that fill many pages and long values.
std::vector<std::pair<std::string, std::string>> Descriptions() {
    std::string rows = R"({"tables": [{"name": "Big", "columns": [
        {"name": "Id", "type": "Long", "autoNumber": true},
        {"name": "Note", "type": "Memo", "description": "long values on pages of their own"},
        {"name": "Name", "type": "Text", "size": 200}],
        "indexes": [{"name": "PrimaryKey", "columns": ["Id"], "primary": true}],
        "generate": {"count": 3000, "seed": 7}}]})";
    return {{"sample", ReadText(OSTREL_SOURCE_DIR "/samples/sample-business.json")},
            {"rows", rows}};
}

TEST(EncodedCopies, ReadExactlyAsThePlainFiles) {
    ScratchDir dir;
    for (const auto& [name, text] : Descriptions()) {
        SCOPED_TRACE(name);
        DatabaseDescription description = ParseDescription(text);
        const auto plain = dir.Path() / (name + ".mdb");
        WriteDatabase(description, plain);
        for (const std::uint32_t key : {0x00000001U, 0x9E3779B9U}) {
            SCOPED_TRACE(key);
            description.encodingKey = key;
            const auto encoded = dir.Path() / (name + "-encoded.mdb");
            WriteDatabase(description, encoded);

            // Page 0 differs only in the key; every later page is encoded.
            const auto a = Bytes(plain);
            auto b = Bytes(encoded);
            ASSERT_EQ(a.size(), b.size());
            const std::uint8_t mask[] = {0xC7, 0xDA, 0x39, 0x6B};
            Rc4Apply(mask, 4, b.data() + 0x18, 128);
            EXPECT_EQ(b[0x3E] | (b[0x3F] << 8) | (b[0x40] << 16) |
                          (static_cast<std::uint32_t>(b[0x41]) << 24),
                      key);
            Rc4Apply(mask, 4, b.data() + 0x18, 128);
            std::size_t samePages = 0;
            for (std::size_t page = 1; page < a.size() / kPageSize; ++page) {
                samePages +=
                    std::equal(a.begin() + page * kPageSize, a.begin() + (page + 1) * kPageSize,
                               b.begin() + page * kPageSize);
            }
            EXPECT_EQ(samePages, 0U);

            jet::JetEngine engine;
            engine.SetPasswordProvider([](const std::string&) -> std::optional<schema::Password> {
                ADD_FAILURE() << "an encoded file needs no password";
                return std::nullopt;
            });
            const auto plainDb = engine.OpenDatabase(plain.string());
            const auto encodedDb = engine.OpenDatabase(encoded.string());
            EXPECT_EQ(testsupport::DumpSchema(*encodedDb), testsupport::DumpSchema(*plainDb));

            // mdbtools and mdb-reader decode such files themselves: the same
            // schema and rows.
            if (HaveProgram("mdb-schema")) {
                for (const std::string tool : {"mdb-schema", "mdb-tables -1"}) {
                    EXPECT_EQ(Output(tool, encoded), Output(tool, plain)) << tool;
                }
                if (name == "rows") {
                    EXPECT_EQ(Output("mdb-export", encoded, " Big"),
                              Output("mdb-export", plain, " Big"));
                }
            }
            if (EnsureMdbReader()) {
                const CommandResult theirs = ReadWithMdbReader(encoded);
                EXPECT_EQ(theirs.status, 0);
                EXPECT_EQ(theirs.output, ReadWithMdbReader(plain).output);
            }
        }
    }
}

}  // namespace
}  // namespace ostrel::jetgen::test
