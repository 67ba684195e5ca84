// The drawn diagram: SVG read back against the model, pages of a group too
// large for one page, the report's diagram pages and --diagram files.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <QImage>
#include <QLineF>
#include <QPainter>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "cli/all_on_switches.h"
#include "cli/diagram_output.h"
#include "cli/pdf_output.h"
#include "cli/report_command.h"
#include "components/diagram/diagram_file.h"
#include "components/diagram/diagram_pages.h"
#include "components/diagram/scene_painter.h"
#include "components/diagram/scene_stream.h"
#include "components/jet/jet_engine.h"
#include "components/memory/memory_database.h"
#include "components/memory/memory_schema.h"
#include "tests/diagram/relation_blueprint.h"
#include "tests/diagram/svg_reading.h"

namespace ostrel::diagram {
namespace {

namespace fs = std::filesystem;
namespace attr = schema::relation_attribute;
using testing::DistanceToOutline;
using testing::SvgDiagram;

constexpr double kOnOutline = 2.0;  // points

class DiagramDrawingTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { cli::EnsureGuiApplication(); }
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("ostrel2-diagram-test-" +
                   std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    static DiagramModel ModelOf(schema::SchemaEngine& engine, const std::string& path) {
        const auto database = engine.OpenDatabase(path);
        DiagramModel model = BuildDiagramModel(
            *database, [](const std::string& name) { return !name.starts_with("MSys"); });
        database->Close();
        return model;
    }

    SvgDiagram WriteAndRead(const DiagramModel& model) {
        const std::string path = (folder_ / "diagram.svg").string();
        WriteDiagramFile(model, path, DiagramPaper{});
        return testing::ReadSvg(path);
    }

    fs::path folder_;
};

std::string EndName(EndMark mark) {
    return mark == EndMark::One ? "one" : mark == EndMark::Many ? "many" : "none";
}

std::string MarkText(EndMark mark) {
    return mark == EndMark::One ? "1" : "∞";
}

// Every table once with its key fields; every field pair's line from the
// primary table's box to the foreign table's box (or to a "continued" label
// naming it), with the ends the relationship's attributes ask for.
void ExpectDrawnAsModelled(const DiagramModel& model, const SvgDiagram& svg) {
    EXPECT_EQ(svg.tables.size(), model.tables.size());
    for (const DiagramTable& table : model.tables) {
        SCOPED_TRACE(table.name);
        ASSERT_EQ(svg.tables.count(table.name), 1U);
        const testing::SvgTable& box = svg.tables.find(table.name)->second;
        std::vector<std::string> keys;
        for (std::size_t i = 0; i < table.fields.size() && i + 1 < box.fields.size(); ++i) {
            if (table.fields[i].primaryKey) {
                keys.push_back(table.fields[i].name);
            }
        }
        EXPECT_EQ(box.keyFields, keys);
        EXPECT_EQ(box.linked, table.linked);
    }
    std::size_t expectedLines = 0;
    for (std::size_t r = 0; r < model.relations.size(); ++r) {
        const DiagramRelation& relation = model.relations[r];
        const std::string& primary = model.tables[relation.primaryTable].name;
        const std::string& foreign = model.tables[relation.foreignTable].name;
        const std::size_t pairs = std::max<std::size_t>(relation.fields.size(), 1);
        for (std::size_t p = 0; p < pairs; ++p) {
            SCOPED_TRACE(relation.name + " pair " + std::to_string(p));
            std::vector<const testing::SvgLine*> found;
            for (const testing::SvgLine& line : svg.lines) {
                if (line.relation == static_cast<int>(r) && line.pair == static_cast<int>(p)) {
                    found.push_back(&line);
                }
            }
            ASSERT_FALSE(found.empty());
            // A line split between two parts appears once in each.
            EXPECT_EQ(found.size(), found.front()->continued ? 2U : 1U);
            expectedLines += found.size();
            for (const testing::SvgLine* line : found) {
                EXPECT_EQ(line->primary, primary);
                EXPECT_EQ(line->foreign, foreign);
                EXPECT_EQ(line->primaryEnd, EndName(relation.primaryEnd));
                EXPECT_EQ(line->foreignEnd, EndName(relation.foreignEnd));
                const auto endAt = [&](const std::string& table, const QPointF& point,
                                       const char* side, EndMark mark, bool arrow) {
                    const auto box = svg.tables.find(table);
                    if (box != svg.tables.end() && box->second.group == line->group) {
                        EXPECT_LE(DistanceToOutline(box->second.rect, point), kOnOutline)
                            << side << " end is not on " << table << "'s box";
                        if (mark == EndMark::None) {
                            EXPECT_FALSE(line->marks.contains(side)) << side;
                        } else {
                            EXPECT_EQ(line->marks.count(side) == 1 ? line->marks.at(side) : "",
                                      MarkText(mark))
                                << side;
                        }
                        const bool tip = std::any_of(
                            line->arrowTips.begin(), line->arrowTips.end(),
                            [&](const QPointF& t) { return QLineF(t, point).length() < 0.5; });
                        EXPECT_EQ(tip, arrow) << side << " arrow";
                        return;
                    }
                    // The table is in another part: the line ends at a label
                    // naming it.
                    EXPECT_TRUE(line->continued);
                    const bool labelled = std::any_of(
                        svg.stubs.begin(), svg.stubs.end(), [&](const testing::SvgStub& stub) {
                            return stub.group == line->group && stub.table == table &&
                                   DistanceToOutline(stub.rect, point) <= kOnOutline &&
                                   stub.label.find("continued") != std::string::npos;
                        });
                    EXPECT_TRUE(labelled) << side << " end has no label for " << table;
                };
                endAt(primary, line->start, "primary", relation.primaryEnd,
                      relation.arrowToPrimary);
                endAt(foreign, line->end, "foreign", relation.foreignEnd, relation.arrowToForeign);
            }
        }
    }
    EXPECT_EQ(svg.lines.size(), expectedLines);
}

memory::TableBlueprint Table(const std::string& name, int fields, const std::string& key = "+ID") {
    memory::TableBlueprint table{.name = name};
    table.fields.push_back({.name = "ID"});
    table.fields.push_back({.name = "ParentID"});
    table.fields.push_back({.name = "Code"});
    for (int i = 3; i < fields; ++i) {
        table.fields.push_back({.name = "Attribute" + std::to_string(i)});
    }
    table.indexes.push_back({.name = "PrimaryKey", .primary = true, .fields = key});
    return table;
}

using testing::Relation;

// A small schema with the awkward cases: a table related to itself, two
// relationships (one on two fields) between the same tables, a linked table,
// outer joins, and a relationship that is not enforced.
memory::DatabaseBlueprint AwkwardSchema() {
    memory::DatabaseBlueprint blueprint;
    memory::TableBlueprint archive = Table("Archive", 4);
    archive.attributes = schema::table_attribute::kAttachedTable;
    blueprint.tables = {Table("Staff", 5), Table("Orders", 6, "+ID;+Code"), Table("Lines", 5),
                        archive, Table("Unrelated", 3)};
    blueprint.relations = {
        Relation("Manager", "Staff", "Staff", attr::kLeft),
        Relation("OrderLines", "Orders", "Lines", attr::kUpdateCascade | attr::kDeleteCascade,
                 {{"ID", "ParentID"}, {"Code", "Code"}}),
        Relation("FirstLine", "Lines", "Orders", attr::kUnique),
        Relation("TakenBy", "Staff", "Orders", attr::kDontEnforce | attr::kRight),
        Relation("Archived", "Orders", "Archive", attr::kDontEnforce)};
    return blueprint;
}

TEST_F(DiagramDrawingTest, SvgOfTheSampleShowsItsRelationships) {
    const std::string sample = std::string(OSTREL_SOURCE_DIR) + "/samples/sample-business.mdb";
    jet::JetEngine engine;
    const DiagramModel model = ModelOf(engine, sample);
    ASSERT_FALSE(model.Empty());
    ExpectDrawnAsModelled(model, WriteAndRead(model));
}

TEST_F(DiagramDrawingTest, SvgOfAwkwardRelationships) {
    memory::MemoryEngine engine;
    engine.Register("db", AwkwardSchema());
    const DiagramModel model = ModelOf(engine, "db");
    ASSERT_EQ(model.tables.size(), 4U);
    const SvgDiagram svg = WriteAndRead(model);
    ExpectDrawnAsModelled(model, svg);
    EXPECT_NE(std::find(svg.texts.begin(), svg.texts.end(), model.NotDrawnLine()), svg.texts.end());
    EXPECT_EQ(model.NotDrawnLine().rfind("1 selected table is in no relationship and is not "
                                         "drawn: ",
                                         0),
              0U);
    EXPECT_NE(std::find(svg.texts.begin(), svg.texts.end(), "cascade updates, deletes"),
              svg.texts.end());
}

memory::DatabaseBlueprint LargeGroup(int tables) {
    memory::DatabaseBlueprint blueprint;
    for (int i = 0; i < tables; ++i) {
        blueprint.tables.push_back(Table("Entity" + std::to_string(i), 12));
    }
    for (int i = 1; i < tables; ++i) {
        blueprint.relations.push_back(Relation("Tree" + std::to_string(i),
                                               "Entity" + std::to_string((i - 1) / 3),
                                               "Entity" + std::to_string(i)));
    }
    for (int e = 0; e < tables / 4; ++e) {
        blueprint.relations.push_back(Relation("Cross" + std::to_string(e),
                                               "Entity" + std::to_string((e * 37 + 11) % tables),
                                               "Entity" + std::to_string((e * 53 + 101) % tables),
                                               e % 3 == 0 ? attr::kUnique : 0, {{"ID", "Code"}}));
    }
    return blueprint;
}

TEST_F(DiagramDrawingTest, GroupTooLargeForAPageIsSplitWithoutShrinkingText) {
    memory::MemoryEngine engine;
    engine.Register("db", LargeGroup(200));
    const DiagramModel model = ModelOf(engine, "db");
    ASSERT_EQ(model.ConnectedGroups().size(), 1U);

    PagePlanOptions options;  // an A4 page's drawing area
    options.firstPage = 7;
    const std::vector<DiagramPage> pages = PlanDiagramPages(model, options);
    ASSERT_GT(pages.size(), 1U);
    std::map<std::string, int> pageOfTable;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        for (const PlacedBlock& placed : pages[p].blocks) {
            const DiagramBlock& block = placed.block;
            EXPECT_GE(block.scale, kMinScale);
            EXPECT_LE(block.scale, 1.0);
            EXPECT_LE(placed.topLeft.x() + block.size.width() * block.scale,
                      options.area.width() + 0.01);
            EXPECT_LE(placed.topLeft.y() + block.size.height() * block.scale,
                      options.area.height() + 0.01);
            for (const SceneBox& box : block.boxes) {
                EXPECT_TRUE(pageOfTable.emplace(box.name.toStdString(), int(p) + 7).second)
                    << box.name.toStdString() << " is drawn twice";
            }
        }
    }
    EXPECT_EQ(pageOfTable.size(), model.tables.size());
    // Every "continued" label names the page its table is on.
    int labels = 0;
    for (const DiagramPage& page : pages) {
        for (const PlacedBlock& placed : page.blocks) {
            for (const SceneStub& stub : placed.block.stubs) {
                for (const SceneStub::Row& row : stub.rows) {
                    const std::string name = row.name.toStdString();
                    EXPECT_EQ(
                        row.text.text.toStdString(),
                        "continued on page " + std::to_string(pageOfTable.at(name)) + ": " + name);
                    ++labels;
                }
            }
        }
    }
    EXPECT_GT(labels, 0);

    // The same group as one picture: split into parts as well, all text at
    // 6 points or more, every line accounted for.
    const SvgDiagram svg = WriteAndRead(model);
    ExpectDrawnAsModelled(model, svg);
    ASSERT_FALSE(svg.fontSizes.empty());
    EXPECT_GE(*std::min_element(svg.fontSizes.begin(), svg.fontSizes.end()), 6.0 - 1e-6);
}

// A document keeps its diagram pages as bytes and draws them from those:
// each page must come back whole, and damaged bytes must give nothing.
TEST_F(DiagramDrawingTest, PagesKeptAsBytesDrawAsPlanned) {
    memory::MemoryEngine engine;
    engine.Register("db", LargeGroup(80));
    const std::vector<DiagramPage> pages = PlanDiagramPages(ModelOf(engine, "db"), {});
    ASSERT_GT(pages.size(), 1U);
    const auto draw = [](const DiagramPage& page) {
        QImage image(600, 840, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        PaintDiagramPage(painter, page);
        return image;
    };
    bool sawStub = false;
    for (const DiagramPage& page : pages) {
        for (const PlacedBlock& placed : page.blocks) {
            sawStub = sawStub || !placed.block.stubs.empty();
        }
        const QByteArray bytes = SavePage(page);
        const std::optional<DiagramPage> loaded = LoadPage(bytes);
        ASSERT_TRUE(loaded.has_value());
        EXPECT_EQ(SavePage(*loaded), bytes);
        EXPECT_EQ(draw(*loaded), draw(page));

        for (qsizetype cut = 0; cut < bytes.size(); cut += 1 + bytes.size() / 97) {
            EXPECT_FALSE(LoadPage(bytes.left(cut)).has_value()) << "cut at " << cut;
        }
        QByteArray foreign = bytes;
        foreign[0] = static_cast<char>(foreign[0] ^ 0x01);
        EXPECT_FALSE(LoadPage(foreign).has_value());
    }
    EXPECT_TRUE(sawStub) << "the group should be split, with labels for tables elsewhere";
}

TEST_F(DiagramDrawingTest, LayoutPastItsLimitsFallsBackToStraightLinesAndSaysSo) {
    memory::MemoryEngine engine;
    engine.Register("db", AwkwardSchema());
    const DiagramModel model = ModelOf(engine, "db");
    struct Case {
        int maxElements;
        std::chrono::milliseconds budget;
        std::string caption;
    };
    for (const Case& c : {Case{0, std::chrono::milliseconds(60000), "too many tables"},
                          Case{100000, std::chrono::milliseconds(-1), "time"}}) {
        PagePlanOptions options;
        options.limits.rankedMaxElements = c.maxElements;
        options.budget = c.budget;
        const auto pages = PlanDiagramPages(model, options);
        ASSERT_EQ(pages.size(), 1U);
        ASSERT_EQ(pages[0].blocks.size(), 1U);
        const DiagramBlock& block = pages[0].blocks[0].block;
        EXPECT_EQ(block.boxes.size(), model.tables.size());
        ASSERT_FALSE(block.captions.empty());
        EXPECT_NE(block.captions[0].text.toStdString().find(c.caption), std::string::npos)
            << block.captions[0].text.toStdString();
    }
}

// The report written as PDF through the batch program's path, with the
// diagram switch on and off.
class ToggledSwitches final : public engine::ReportSwitches {
  public:
    explicit ToggledSwitches(bool diagram) : diagram_(diagram) {}
    bool GetReportSwitch(std::string_view key) const override {
        return key != "Relationship Diagram" || diagram_;
    }

  private:
    bool diagram_;
};

class FixedFormatter final : public engine::ValueFormatter {
  public:
    std::string FormatDateTime(const schema::DateTime& /*value*/) const override {
        return "12/6/2026";
    }
    schema::DateTime Now() const override { return {2026, 12, 6, 0, 0, 0}; }
};

std::string CommandOutput(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    std::string text;
    char buffer[4096];
    while (pipe && std::fgets(buffer, sizeof buffer, pipe.get()) != nullptr) {
        text += buffer;
    }
    return text;
}

// The text of each page without its blank lines and the running "Page N"
// caption.
std::vector<std::string> PdfPages(const fs::path& pdf) {
    const std::string text = CommandOutput("pdftotext -q " + pdf.string() + " -");
    std::vector<std::string> pages;
    std::istringstream in(text);
    std::string page;
    while (std::getline(in, page, '\f')) {
        std::istringstream lines(page);
        std::string line;
        std::string kept;
        while (std::getline(lines, line)) {
            if (!line.empty() && !line.starts_with("Page ")) {
                kept += line + "\n";
            }
        }
        pages.push_back(kept);
    }
    while (!pages.empty() && pages.back().empty()) {
        pages.pop_back();
    }
    return pages;
}

TEST_F(DiagramDrawingTest, ReportHasDiagramPagesOnlyWithTheSwitchOn) {
    if (std::system("pdftotext -v >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "pdftotext is not installed";
    }
    const std::string database = (folder_ / "db.mdb").string();
    std::ofstream(database) << "stands in for the database file";
    memory::MemoryEngine engine;
    memory::DatabaseBlueprint blueprint = AwkwardSchema();
    blueprint.queries.push_back({.name = "AfterTheDiagram", .sql = "SELECT 1;"});
    engine.Register(database, blueprint);
    const DiagramModel model = ModelOf(engine, database);
    const FixedFormatter formatter;

    const auto run = [&](bool diagram) {
        const fs::path pdf = folder_ / (diagram ? "on.pdf" : "off.pdf");
        const ToggledSwitches switches(diagram);
        const cli::PdfOutputFactory window = [](const std::string& path) {
            return std::make_unique<cli::PdfOutput>(path);
        };
        std::ostringstream out;
        std::ostringstream err;
        const std::string path = pdf.string();
        EXPECT_EQ(cli::RunReportCommand(cli::ParseCommandLine({"--pdf", path, database}),
                                        {engine, switches, formatter, window}, {out, err, false}),
                  cli::kExitSuccess)
            << err.str();
        return PdfPages(pdf);
    };
    const std::vector<std::string> on = run(true);
    const std::vector<std::string> off = run(false);

    std::vector<std::string> withoutDiagram;
    std::string diagramText;
    for (const std::string& page : on) {
        if (page.find("Relationship diagram") != std::string::npos) {
            diagramText += page;
        } else {
            withoutDiagram.push_back(page);
        }
    }
    ASSERT_FALSE(diagramText.empty());
    for (const DiagramTable& table : model.tables) {
        EXPECT_NE(diagramText.find(table.name), std::string::npos)
            << table.name << " is not on the diagram pages:\n"
            << diagramText;
    }
    // A table in no relationship is named in the note alone, not drawn.
    const std::string note = "1 selected table is in no relationship and is not drawn: Unrelated.";
    ASSERT_NE(diagramText.find(note), std::string::npos) << diagramText;
    EXPECT_EQ(diagramText.find("Unrelated", diagramText.find(note) + note.size()),
              std::string::npos);
    EXPECT_EQ(diagramText.find("Unrelated"), diagramText.find(note) + note.size() - 10);
    // The diagram comes after the relationship blocks and before the queries.
    const auto diagramPage = std::find_if(on.begin(), on.end(), [](const std::string& page) {
        return page.find("Relationship diagram") != std::string::npos;
    });
    ASSERT_NE(diagramPage, on.begin());
    ASSERT_NE(diagramPage + 1, on.end());
    EXPECT_NE((diagramPage - 1)->find("Relationship : Archived"), std::string::npos);
    EXPECT_NE((diagramPage + 1)->find("4 - Query Properties"), std::string::npos);
    // Switched off: the same report without those pages (the queries then
    // follow on the relationships' last page).
    const auto joined = [](const std::vector<std::string>& pages) {
        std::string text;
        for (const std::string& page : pages) {
            text += page;
        }
        return text;
    };
    EXPECT_EQ(joined(off), joined(withoutDiagram));
    // Without the diagram the queries may start on the relationships' last
    // page instead of a page of their own.
    EXPECT_LE(off.size(), withoutDiagram.size());
    EXPECT_GE(off.size() + 1, withoutDiagram.size());
    for (const std::string& page : off) {
        EXPECT_EQ(page.find("Relationship diagram"), std::string::npos);
    }
    // The outline leads to the diagram's first page, and only when it is drawn.
    if (std::system("qpdf --version >/dev/null 2>&1") == 0) {
        const auto outline = [this](const char* name) {
            return nlohmann::json::parse(CommandOutput("qpdf --json=2 --json-key=outlines " +
                                                       (folder_ / name).string()))["outlines"];
        };
        const auto diagramEntry = [](const nlohmann::json& sections) -> nlohmann::json {
            for (const auto& section : sections) {
                for (const auto& entry : section["kids"]) {
                    if (entry["title"] == "Relationship diagram") {
                        return entry;
                    }
                }
            }
            return nullptr;
        };
        const nlohmann::json entry = diagramEntry(outline("on.pdf"));
        ASSERT_FALSE(entry.is_null());
        EXPECT_EQ(entry["destpageposfrom1"], diagramPage - on.begin() + 1);
        EXPECT_TRUE(diagramEntry(outline("off.pdf")).is_null());
    }
}

TEST_F(DiagramDrawingTest, DiagramOptionWritesTheFormatItsNameAsksFor) {
    const std::string database = (folder_ / "db.mdb").string();
    std::ofstream(database) << "stands in for the database file";
    memory::MemoryEngine engine;
    engine.Register(database, AwkwardSchema());
    const cli::AllOnSwitches switches;
    const FixedFormatter formatter;
    const auto run = [&](const std::vector<std::string_view>& arguments, std::string& err) {
        std::ostringstream out;
        std::ostringstream errors;
        const int status = cli::RunReportCommand(
            cli::ParseCommandLine(arguments),
            {engine, switches, formatter, {}, cli::WriteDiagramFile}, {out, errors, false});
        err = errors.str();
        EXPECT_EQ(out.str(), "");
        return status;
    };
    const auto head = [](const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        std::string bytes(8, '\0');
        in.read(bytes.data(), 8);
        return bytes;
    };
    std::string err;
    for (const auto& [name, magic] : std::vector<std::pair<std::string, std::string>>{
             {"d.svg", "<?xml ve"}, {"d.PNG", "\x89PNG\r\n\x1a\n"}, {"d.pdf", "%PDF-1.4"}}) {
        const fs::path file = folder_ / name;
        ASSERT_EQ(run({"--diagram", file.string(), database}, err), cli::kExitSuccess) << err;
        EXPECT_EQ(head(file).substr(0, magic.size()), magic) << name;
    }
    // Tables with no relationship between them: nothing to draw, no file.
    const fs::path none = folder_ / "none.svg";
    EXPECT_EQ(run({"--diagram", none.string(), "--table", "Unrelated", database}, err),
              cli::kExitFailure);
    EXPECT_NE(err.find("no relationships"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(none));
    EXPECT_THROW(cli::ParseCommandLine({"--diagram", "picture.gif", database}), cli::UsageError);
}

}  // namespace
}  // namespace ostrel::diagram
