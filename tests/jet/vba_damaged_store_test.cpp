// Damaged application stores: each bound the reader keeps on compound files,
// project directories, storage tables and module values, broken one at a
// time. Every case must end in a SchemaError naming the file and what is
// wrong; through the schema interface, in a note on the objects concerned
// while the rest of the database still reads.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>

#include "components/jet/access97_project.h"
#include "components/jet/access_containers.h"
#include "components/jet/access_storage.h"
#include "components/jet/compound_file.h"
#include "components/jet/jet_database.h"
#include "components/jet/jet_engine.h"
#include "components/jet/vba_directory.h"
#include "components/schema/schema_error.h"
#include "tools/jetgen/compound_writer.h"
#include "tools/jetgen/description.h"
#include "tools/jetgen/generator.h"
#include "tools/jetgen/vba_compressor.h"
#include "tools/jetgen/vba_project_writer.h"

namespace ostrel::jet::test {
namespace {

using Bytes = std::vector<std::uint8_t>;
const std::string kLabel = "built.mdb";

template <class Action>
std::string ErrorOf(Action action) {
    try {
        action();
    } catch (const schema::SchemaError& e) {
        return e.what();
    }
    return "";
}

std::uint32_t Get32(const Bytes& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
           (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

// A project with a module large enough for sectors of its own (and for more
// sectors than 109 FAT sectors could ever be needed for) and a small one in
// the mini stream.
jetgen::StorageNode ProjectTree() {
    std::mt19937 random(3);
    std::string noise;
    while (noise.size() < 126000) {
        noise += static_cast<char>('!' + random() % 90);
    }
    noise += "\r\n" + std::string(5000, 'x');  // a last chunk that compresses
    jetgen::StorageNode root;
    jetgen::AddVbaProject(root,
                          {{"Big", jetgen::ProjectModuleKind::Standard, noise},
                           {"Small", jetgen::ProjectModuleKind::Class, "Private x\r\n"}},
                          1252);
    return root;
}

// Where things are in a compound file written by jetgen.
struct CfbMap {
    Bytes bytes;
    std::size_t Sector(std::uint32_t s) const { return (std::size_t{s} + 1) * 512; }
    std::size_t FatEntry(std::uint32_t s) const { return Sector(Get32(bytes, 0x4C)) + 4 * s; }
    std::size_t Entry(const std::string& name) const {
        const std::size_t dir = Sector(Get32(bytes, 0x30));
        for (std::size_t at = dir; at + 128 <= bytes.size(); at += 128) {
            std::string entry;
            for (std::size_t i = 0; i + 2 < bytes[at + 0x40]; i += 2) {
                entry += static_cast<char>(bytes[at + i]);
            }
            if (entry == name) {
                return at;
            }
        }
        throw std::runtime_error("no entry " + name);
    }
    std::uint32_t Start(const std::string& name) const { return Get32(bytes, Entry(name) + 0x74); }
};

// Parses and reads every stream; the first error.
std::string ReadAll(const Bytes& bytes) {
    return ErrorOf([&] {
        const CompoundFile file(bytes, kLabel, "the compound file");
        for (std::size_t node = 0; node < file.Size(); ++node) {
            if (file.At(node).stream) {
                (void)file.Read(node);
            }
        }
    });
}

// More than 109 FAT sectors: the rest are listed in DIFAT sectors.
TEST(CompoundFileReader, LargeFilesListTheirFatInDifatSectors) {
    jetgen::StorageNode root;
    Bytes big(9 << 20);
    for (std::size_t i = 0; i < big.size(); ++i) {
        big[i] = static_cast<std::uint8_t>(i / 512 + i);
    }
    root.Storage("Data").Stream("Big", big);
    root.Stream("Small", Bytes{1, 2, 3});
    const Bytes bytes = jetgen::WriteCompoundFile(root);
    ASSERT_GT(Get32(bytes, 0x48), 0U);  // DIFAT sectors
    const CompoundFile file(bytes, kLabel, "the compound file");
    EXPECT_EQ(file.Read(*file.Find({"Data", "Big"})), big);
    EXPECT_EQ(file.Read(*file.Find({"Small"})), (Bytes{1, 2, 3}));
}

TEST(DamagedCompoundFile, EveryBoundIsChecked) {
    const Bytes good = jetgen::WriteCompoundFile(ProjectTree());
    ASSERT_EQ(ReadAll(good), "");
    const CfbMap map{good};
    const std::uint32_t big = map.Start("M0000000");
    const std::uint32_t sectors = static_cast<std::uint32_t>(good.size() / 512 - 1);
    ASSERT_GT(sectors, 109U + 127U);
    struct Case {
        const char* what;
        std::function<void(Bytes&)> damage;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"signature", [](Bytes& b) { b[3] = 0; }, "not a compound file"},
        {"header cut short", [](Bytes& b) { b.resize(300); }, "512 bytes needed"},
        {"version", [](Bytes& b) { b[0x1A] = 5; }, "version 5"},
        {"mini sector size", [](Bytes& b) { b[0x20] = 7; }, "mini sectors of 2^7"},
        {"FAT count", [](Bytes& b) { Put32(b, 0x2C, 0x01000000); }, "FAT sectors in a file of"},
        {"FAT sector outside the file", [](Bytes& b) { Put32(b, 0x4C, 0x00FFFFF0); },
         "the FAT refers to sector 0x00FFFFF0, outside the file"},
        {"DIFAT outside the file",
         [](Bytes& b) {
             Put32(b, 0x2C, 110);
             Put32(b, 0x44, 0x00FFFFF0);
         },
         "the DIFAT refers to sector 0x00FFFFF0"},
        {"DIFAT loop",
         [&](Bytes& b) {
             Put32(b, 0x2C, sectors);
             Put32(b, 0x44, big);
             Put32(b, map.Sector(big) + 508, big);
         },
         "the DIFAT sectors form a loop"},
        {"directory chain loop",
         [&](Bytes& b) {
             const std::uint32_t dir = Get32(b, 0x30);
             Put32(b, map.FatEntry(dir), dir);
         },
         "the chain of the directory loops"},
        {"stream chain loop", [&](Bytes& b) { Put32(b, map.FatEntry(big), big); },
         "the chain of stream 'M0000000' loops"},
        {"stream chain leaves the table",
         [&](Bytes& b) { Put32(b, map.FatEntry(big), 0x00FFFFF0); }, "outside its table"},
        {"stream chain ends early", [&](Bytes& b) { Put32(b, map.FatEntry(big), 0xFFFFFFFE); },
         "ends after 1 of 248 sectors"},
        {"stream size", [&](Bytes& b) { Put32(b, map.Entry("M0000000") + 0x78, 0x7FFFFFFF); },
         "exceeds the file"},
        {"mini FAT count", [](Bytes& b) { Put32(b, 0x40, 0x01000000); },
         "mini FAT sectors in a file of"},
        {"mini chain outside the mini FAT",
         [&](Bytes& b) { Put32(b, map.Entry("M0000001") + 0x74, 0x0000FFFF); },
         "the chain of stream 'M0000001' reaches sector 0x0000FFFF, outside its table"},
        {"mini stream shorter than its sectors",
         [&](Bytes& b) { Put32(b, map.Entry("Root Entry") + 0x78, 64); },
         "outside the mini stream of 64 bytes"},
        {"missing root", [&](Bytes& b) { b[map.Entry("Root Entry") + 0x42] = 1; },
         "the directory has no root entry"},
        {"directory tree loop",
         [&](Bytes& b) {
             const std::size_t at = map.Entry("dir");
             Put32(b, at + 0x44, static_cast<std::uint32_t>((at - map.Entry("Root Entry")) / 128));
         },
         "entries form a loop at entry"},
        {"directory link outside", [&](Bytes& b) { Put32(b, map.Entry("VBA") + 0x4C, 99999); },
         "refers to entry 99999"},
        {"name length", [&](Bytes& b) { b[map.Entry("dir") + 0x40] = 80; },
         "entry name of 80 bytes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes damaged = good;
        c.damage(damaged);
        const std::string message = ReadAll(damaged);
        EXPECT_NE(message.find(kLabel + ": damaged: the compound file"), std::string::npos)
            << message;
        EXPECT_NE(message.find(c.message), std::string::npos) << message;
    }
}

// A directory stream of records: an id, a four-byte size, the data.
Bytes Record(std::uint16_t id, const std::string& data) {
    Bytes r = {static_cast<std::uint8_t>(id), static_cast<std::uint8_t>(id >> 8)};
    const auto size = static_cast<std::uint32_t>(data.size());
    for (int i = 0; i < 4; ++i) {
        r.push_back(static_cast<std::uint8_t>(size >> (8 * i)));
    }
    r.insert(r.end(), data.begin(), data.end());
    return r;
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

TEST(ProjectDirectory, RecordsModulesAndKinds) {
    const Bytes version = {0x09, 0x00, 0x04, 0x00, 0x00, 0x00, 1, 0, 0, 0, 2, 0};
    const Bytes dir =
        Join({Record(0x0003, std::string("\xE3\x04", 2)), version, Record(0x0019, "Mod\xFC"),
              Record(0x0047, std::string("M\0o\0d\0\xFC\0", 8)), Record(0x001A, "S1"),
              Record(0x0031, std::string("\x10\0\0\0", 4)), Record(0x0021, ""), Record(0x002B, ""),
              Record(0x0019, "Form_A B"), Record(0x0022, ""), Record(0x002B, ""),
              Record(0x0010, ""), Record(0x0019, "after the end")});
    const ProjectDirectory project = ParseProjectDirectory(ByteCursor(dir, kLabel, "dir"));
    EXPECT_EQ(project.codePage, 1251);
    ASSERT_EQ(project.modules.size(), 2U);
    EXPECT_EQ(project.modules[0].name, "Modü");
    EXPECT_EQ(project.modules[0].streamName, "S1");
    EXPECT_EQ(project.modules[0].sourceOffset, 16U);
    EXPECT_TRUE(project.modules[0].procedural);
    EXPECT_EQ(project.modules[1].name, "Form_A B");
    EXPECT_EQ(project.modules[1].streamName, "Form_A B");
    EXPECT_FALSE(project.modules[1].procedural);

    Bytes cut = Record(0x0019, "Name");
    cut.resize(cut.size() - 1);
    EXPECT_NE(ErrorOf([&] {
                  ParseProjectDirectory(ByteCursor(cut, kLabel, "dir"));
              }).find("record 25 of 4 bytes runs past the end of the stream"),
              std::string::npos);

    const std::string text =
        "ID=\"{X}\"\r\nDocument=Form_A B/&H00000000\r\nDocClass=Report_R/&H00000000\r\n"
        "Module=Utilities\r\nClass=clsThing\r\nBaseClass=UserForm1\r\n\r\n[Workspace]\r\n"
        "Module=NotAModule\r\n";
    const auto kinds = ParseProjectKinds(Bytes(text.begin(), text.end()), 1252);
    using schema::VbaModuleKind;
    const std::map<std::string, VbaModuleKind> expected = {{"Form_A B", VbaModuleKind::Document},
                                                           {"Report_R", VbaModuleKind::Document},
                                                           {"Utilities", VbaModuleKind::Standard},
                                                           {"clsThing", VbaModuleKind::Class},
                                                           {"UserForm1", VbaModuleKind::Designer}};
    EXPECT_EQ(kinds, expected);
}

TEST(ObjectDirectories, NamesAndMacroXml) {
    const Bytes dirData = {0, 0, 0, 0, 4, 6, 'A', 0, 2, 0, 0, 0, 4, 8, 'B', 0, 'c', 0, 0, 0, 0, 0};
    const auto entries = ParseDirData(ByteCursor(dirData, kLabel, "DirData"));
    const std::vector<std::pair<std::string, std::string>> expected = {{"A", "2"}, {"Bc", "0"}};
    EXPECT_EQ(entries, expected);
    Bytes past = dirData;
    past[12 + 1] = 40;
    EXPECT_NE(ErrorOf([&] {
                  ParseDirData(ByteCursor(past, kLabel, "DirData"));
              }).find("entry of 40 bytes"),
              std::string::npos);
    Bytes type = dirData;
    type[4] = 7;
    EXPECT_NE(ErrorOf([&] {
                  ParseDirData(ByteCursor(type, kLabel, "DirData"));
              }).find("entry of unknown type 7"),
              std::string::npos);

    // Pieces of XML between binary records; a mark whose length lies is text.
    auto piece = [](const std::string& text, std::size_t claimed = 0) {
        Bytes p;
        const std::size_t length = claimed != 0 ? claimed : 10 + 2 * text.size() + 2;
        p.push_back(static_cast<std::uint8_t>(length));
        p.push_back(static_cast<std::uint8_t>(length >> 8));
        for (const char c : "_AXL:" + text) {
            p.push_back(static_cast<std::uint8_t>(c));
            p.push_back(0);
        }
        p.push_back(0);
        p.push_back(0);
        return p;
    };
    const Bytes blob =
        Join({Bytes(32, 0xFF), piece("<a>x"), Bytes(20, 0), piece("y</a>"), piece("lies", 9999)});
    EXPECT_EQ(MacroXmlFromBlob(blob), "<a>xy</a>");
    EXPECT_EQ(MacroXmlFromBlob(Bytes(64, 0xFF)), std::nullopt);
}

TEST(Access97Modules, TheSourceIsFoundAmongCompiledState) {
    const std::string text = "Attribute VB_Name = \"M\"\r\nOption Explicit\r\n";
    const Bytes container = jetgen::CompressContainer(Bytes(text.begin(), text.end()));
    // Compiled state with a container of other text and a stray chunk header.
    const Bytes decoy = jetgen::CompressContainer(Bytes(40, 'x'));
    const Bytes value =
        Join({Bytes{0x01, 0x20, 0xB0, 0x00}, decoy, Bytes(100, 0xFF), container, Bytes(50, 0x01)});
    const auto start = FindModuleSource(value);
    ASSERT_TRUE(start.has_value());
    EXPECT_EQ(*start, 4 + decoy.size() + 100);
    EXPECT_EQ(FindModuleSource(Join({Bytes(100, 0x01), decoy})), std::nullopt);
}

}  // namespace
}  // namespace ostrel::jet::test
