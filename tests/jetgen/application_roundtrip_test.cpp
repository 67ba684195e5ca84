// Forms, reports, macros and VBA modules written by the generator (into
// MSysAccessObjects, compressed by the generator's own compressor) and read
// back by the Jet reader.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <random>

#include "components/jet/jet_engine.h"
#include "components/schema/database.h"
#include "tests/jetgen/tool_runner.h"

namespace ostrel::jetgen::test {
namespace {

using Json = nlohmann::json;
using schema::AccessObjectKind;
using schema::VbaModuleKind;

class ApplicationRoundTrip : public ::testing::Test {
  protected:
    const schema::Database& Open(const Json& description) {
        const auto path =
            Generate(dir_, description.dump(), "case" + std::to_string(++n_) + ".mdb");
        databases_.push_back(jet::JetEngine().OpenDatabase(path.string()));
        return *databases_.back();
    }

    static const schema::VbaModule& Module(const schema::Database& db, const std::string& name) {
        for (int i = 0; i < db.Modules().Count(); ++i) {
            if (db.Modules().Item(i).Name() == name) {
                return db.Modules().Item(i);
            }
        }
        throw std::runtime_error("no module " + name);
    }

    ScratchDir dir_;
    int n_ = 0;
    std::vector<std::unique_ptr<schema::Database>> databases_;
};

const std::string kXml =
    "<?xml version=\"1.0\" encoding=\"UTF-16\" standalone=\"no\"?>\r\n"
    "<UserInterfaceMacro xmlns=\"http://schemas.microsoft.com/office/accessservices/2009/11/"
    "application\"><Statements><Action Name=\"OpenForm\"><Argument Name=\"FormName\">Orders"
    "</Argument></Action><Comment>Öffnet das Formular; long enough to be kept in more than one "
    "piece, which the reader must join again without the marks between them.</Comment>"
    "</Statements></UserInterfaceMacro>";

TEST_F(ApplicationRoundTrip, ObjectsModulesAndMacrosComeBack) {
    const Json description = {
        {"created", "2020-01-02T03:04:05"},
        {"forms",
         {{{"name", "Orders"},
           {"module", "Option Compare Database\r\n\r\nPrivate Sub Form_Load()\r\nEnd Sub\r\n"},
           {"created", "2021-05-06T07:08:09"},
           {"updated", "2022-05-06T07:08:09"}},
          {{"name", "Plain"}}}},
        {"reports", {{{"name", "Sales"}, {"module", "Option Explicit\r\n"}}, {{"name", "List"}}}},
        {"macros", {{{"name", "AutoExec"}, {"xml", kXml}}, {{"name", "Old"}}}},
        {"modules",
         {{{"name", "Utilities"},
           {"source", "Option Explicit\r\n' Grüße\r\nPublic Const A = 1\r\n"},
           {"created", "2019-01-01"},
           {"updated", "2019-02-02"}},
          {{"name", "clsThing"}, {"type", "class"}, {"source", "Private m As Long"}}}}};
    const schema::Database& db = Open(description);
    EXPECT_EQ(db.ProjectProblem(), std::nullopt);

    ASSERT_EQ(db.Forms().Count(), 2);
    const auto& orders = db.Forms().Item(0);
    EXPECT_EQ(orders.Name(), "Orders");
    EXPECT_EQ(orders.Kind(), AccessObjectKind::Form);
    EXPECT_EQ(orders.DateCreated(), schema::Variant(schema::DateTime{2021, 5, 6, 7, 8, 9}));
    EXPECT_EQ(orders.LastUpdated(), schema::Variant(schema::DateTime{2022, 5, 6, 7, 8, 9}));
    EXPECT_TRUE(orders.HasModule());
    EXPECT_FALSE(db.Forms().Item(1).HasModule());
    ASSERT_EQ(db.Reports().Count(), 2);
    EXPECT_EQ(db.Reports().Item(0).Name(), "List");
    EXPECT_FALSE(db.Reports().Item(0).HasModule());
    EXPECT_TRUE(db.Reports().Item(1).HasModule());

    ASSERT_EQ(db.Macros().Count(), 2);
    EXPECT_EQ(db.Macros().Item(0).MacroXml(), kXml);
    EXPECT_EQ(db.Macros().Item(1).MacroXml(), std::nullopt);
    EXPECT_EQ(db.Macros().Item(1).Problem(), std::nullopt);

    ASSERT_EQ(db.Modules().Count(), 4);
    const auto& utilities = Module(db, "Utilities");
    EXPECT_EQ(utilities.Kind(), VbaModuleKind::Standard);
    EXPECT_EQ(utilities.Source(),
              "Attribute VB_Name = \"Utilities\"\r\nOption Explicit\r\n' Grüße\r\nPublic Const A = "
              "1\r\n");
    EXPECT_EQ(utilities.LineCount(), 3);
    EXPECT_EQ(utilities.CodePage(), 1252);
    EXPECT_EQ(utilities.DateCreated(), schema::Variant(schema::DateTime{2019, 1, 1}));
    EXPECT_EQ(utilities.Owner(), std::nullopt);
    const auto& thing = Module(db, "clsThing");
    EXPECT_EQ(thing.Kind(), VbaModuleKind::Class);
    EXPECT_TRUE(thing.Source().ends_with("Attribute VB_Exposed = False\r\nPrivate m As Long"));
    EXPECT_EQ(thing.LineCount(), 1);
    const auto& form = Module(db, "Form_Orders");
    EXPECT_EQ(form.Kind(), VbaModuleKind::Document);
    EXPECT_EQ(form.Owner(), (schema::ModuleOwner{AccessObjectKind::Form, "Orders"}));
    EXPECT_EQ(form.LineCount(), 4);
    EXPECT_TRUE(schema::IsNull(form.DateCreated()));
    EXPECT_EQ(Module(db, "Report_Sales").Owner(),
              (schema::ModuleOwner{AccessObjectKind::Report, "Sales"}));
}

// Names as the store allows them, not only as VBA does: the export of a later
// step must keep such names inside its folder.
TEST_F(ApplicationRoundTrip, HostileNamesAndOtherCodePagesComeBackUnchanged) {
    const std::vector<std::string> names = {
        "..",     "../escape",         "a/b\\c", "with \"quotes\" and spaces", "CON",
        "Модуль", std::string(31, 'x')};
    Json modules = Json::array();
    for (const std::string& name : names) {
        modules.push_back({{"name", name}, {"source", "' " + name + "\r\n' Привет\r\n"}});
    }
    const schema::Database& db = Open({{"vbaCodePage", 1251}, {"modules", modules}});
    ASSERT_EQ(db.Modules().Count(), static_cast<int>(names.size()));
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const auto& m = Module(db, name);
        EXPECT_EQ(m.CodePage(), 1251);
        EXPECT_EQ(m.Source(),
                  "Attribute VB_Name = \"" + name + "\"\r\n' " + name + "\r\n' Привет\r\n");
        EXPECT_EQ(m.LineCount(), 2);
    }
}

// Modules of many chunks: repetitive text (copy tokens at every offset width)
// and text without repetition (raw chunks).
TEST_F(ApplicationRoundTrip, LargeModulesOfManyChunks) {
    std::string repetitive;
    for (int i = 0; repetitive.size() < 70000; ++i) {
        repetitive += "    total = total + item(" + std::to_string(i % 977) + ") ' line\r\n";
    }
    std::mt19937 random(7);
    std::string noise;
    while (noise.size() < 3 * 4096 + 1000) {
        noise += static_cast<char>('!' + random() % 90);
    }
    const schema::Database& db = Open({{"modules",
                                        {{{"name", "Repetitive"}, {"source", repetitive}},
                                         {{"name", "Noise"}, {"source", noise}}}}});
    EXPECT_EQ(Module(db, "Repetitive").Source(),
              "Attribute VB_Name = \"Repetitive\"\r\n" + repetitive);
    EXPECT_EQ(Module(db, "Noise").Source(), "Attribute VB_Name = \"Noise\"\r\n" + noise);
}

}  // namespace
}  // namespace ostrel::jetgen::test
