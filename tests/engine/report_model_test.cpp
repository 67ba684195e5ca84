// The report as data: what the builder reads from a database, and what each
// renderer makes of a small model.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "engine/html_renderer.h"
#include "engine/json_renderer.h"
#include "engine/report_builder.h"
#include "engine/report_forms.h"
#include "engine_test_support.h"

namespace ostrel::engine::testing {
namespace {

memory::DatabaseBlueprint Shop() {
    memory::DatabaseBlueprint blueprint;
    memory::TableBlueprint orders;
    orders.name = "Orders";
    orders.fields = {{.name = "ID", .type = schema::data_type::kLong, .size = 4},
                     {.name = "Note", .type = schema::data_type::kText, .size = 50}};
    orders.indexes = {{.name = "PrimaryKey", .primary = true, .fields = "+ID"}};
    memory::TableBlueprint linked;
    linked.name = "Clients";
    linked.attributes = schema::table_attribute::kAttachedTable;
    linked.linkProblem = "its source database 'Z:\\Back.mdb' cannot be found";
    linked.refused = {"Fields", "Indexes"};
    blueprint.tables = {orders, linked};
    blueprint.queries = {{.name = "By Date",
                          .sql = "SELECT *;",
                          .parameters = {{.name = "From", .type = schema::data_type::kDate}}}};
    blueprint.relations = {{.name = "OrdersClients", .table = "Clients", .foreignTable = "Orders"}};
    return blueprint;
}

const PropertyRow* RowOf(const PropertyRows& rows, std::string_view label) {
    for (const PropertyRow& row : rows) {
        if (row.Label() == label) {
            return &row;
        }
    }
    return nullptr;
}

// The builder applies the switches to rows, never to names: a member whose
// rows are all off is still there, and a linked table without its source
// says why instead of reading its members.
TEST(ReportBuilder, ObjectsCarryTheirRowsAndMembers) {
    const auto database = memory::OpenMemoryDatabase(Shop());
    MapSwitches switches;
    switches.Set("Field Size", false);
    switches.Set("Table RecordCount", false);
    const ReportBuilder builder(*database, switches);
    WritingPlace place;
    ASSERT_EQ(builder.Count(ObjectKind::Table), 2);
    EXPECT_EQ(builder.NameAt(ObjectKind::Query, 0), "By Date");

    const ReportObject orders = builder.Build(ObjectKind::Table, 0, place);
    EXPECT_EQ(orders.name, "Orders");
    EXPECT_EQ(RowOf(orders.properties, "RecordCount"), nullptr);
    ASSERT_NE(RowOf(orders.properties, "Updatable"), nullptr);
    const MemberGroup* fields = orders.Group(MemberKind::Field);
    ASSERT_NE(fields, nullptr);
    ASSERT_EQ(fields->members.size(), 2U);
    EXPECT_EQ(fields->members[1].name, "Note");
    EXPECT_EQ(RowOf(fields->members[1].rows, "Size"), nullptr);
    EXPECT_EQ(RowOf(fields->members[1].rows, "Type")->value, schema::Variant(std::string("Text")));
    ASSERT_NE(orders.Group(MemberKind::Index), nullptr);
    EXPECT_EQ(orders.Group(MemberKind::Index)->members[0].name, "PrimaryKey");
    EXPECT_FALSE(orders.unlisted);

    const ReportObject clients = builder.Build(ObjectKind::Table, 1, place);
    EXPECT_EQ(clients.unlisted, "its source database 'Z:\\Back.mdb' cannot be found");
    EXPECT_TRUE(clients.groups.empty());

    switches.AllOff();
    const ReportObject query = builder.Build(ObjectKind::Query, 0, place);
    EXPECT_TRUE(query.properties.empty());
    ASSERT_NE(query.Group(MemberKind::Parameter), nullptr);
    EXPECT_EQ(query.Group(MemberKind::Parameter)->members[0].name, "From");
    EXPECT_TRUE(builder.Build(ObjectKind::Relationship, 0, place).groups.empty());
}

// A small model by hand, as every output renders it.
ReportObject SmallTable() {
    ReportObject table;
    table.kind = ObjectKind::Table;
    table.name = "T|1";
    table.properties = {{FindSwitch("Table Updatable"), true}};
    table.groups = {
        {MemberKind::Field, {{"A", {{FindSwitch("Field Type"), std::string("Long")}}}, {"B", {}}}},
        {MemberKind::Index, {}}};
    return table;
}

TEST(FormsRenderer, TableBlockInCsvAndPreview) {
    SectionHarness csv(ReportTarget::CsvFile);
    FormsRenderer(csv.Writer(), csv.formatter).Object(SmallTable());
    // The field without rows keeps its caption on a row of its own.
    EXPECT_EQ(csv.Csv(),
              "Table : T|1\r\n\r\n,Updatable,True\r\n\r\n\r\nField - A,Type,Long\r\n\r\nField - "
              "B\r\n\r\n\r\n");

    SectionHarness preview(ReportTarget::Preview);
    FormsRenderer(preview.Writer(), preview.formatter).Object(SmallTable());
    const std::vector<std::string> tables = preview.Document().Tables();
    ASSERT_EQ(tables.size(), 2U);
    EXPECT_EQ(tables[0], "2000|2400|5600;|Updatable|True;");
    EXPECT_EQ(tables[1], "2000|2400|5600;Field - A|Type|Long;;Field - B;");
    EXPECT_EQ(preview.Document().Blocks(), std::vector<std::string>{"BeginObject(Table|T|1)"});
}

TEST(JsonRenderer, TypedValuesAndEveryMemberGroup) {
    std::string text;
    JsonRenderer json([&text](std::string_view piece) { text += piece; });
    json.Title({"Ostrel2 Version 1.0.6", {2026, 12, 6, 18, 15, 30}, "", "db.mdb"});
    json.DatabaseSection({{FindSwitch("Database Version"), std::string("4.0")}});
    json.BeginSection(ObjectKind::Table);
    json.Object(SmallTable());
    ReportObject unlisted;
    unlisted.name = "Clients";
    unlisted.unlisted = "its source database cannot be found";
    json.Object(unlisted);
    json.EndSection(ObjectKind::Table, nullptr);
    json.End();
    const auto document = nlohmann::json::parse(text);
    EXPECT_EQ(document["database"]["path"], "db.mdb");
    const auto& table = document["tables"]["T|1"];
    EXPECT_EQ(table["properties"]["Updatable"], true);
    EXPECT_EQ(table["fields"]["A"]["properties"]["Type"], "Long");
    EXPECT_TRUE(table["fields"]["B"]["properties"].empty());
    EXPECT_TRUE(table["indexes"].empty());
    EXPECT_EQ(document["tables"]["Clients"]["fieldsNotListed"],
              "its source database cannot be found");
    EXPECT_TRUE(document["tables"]["Clients"]["fields"].empty());
}

// A page that turns large after its diagram was drawn whole carries the
// diagram's pages instead, drawn again.
TEST(HtmlRenderer, APageTurningLargeAfterItsDiagramCarriesItsPages) {
    diagram::DiagramModel model;
    model.tables = {{"A", false, {}}, {"B", false, {}}};
    model.relations.push_back({.name = "AB", .primaryTable = 0, .foreignTable = 1});
    std::vector<DiagramForm> asked;
    std::string text;
    FixedFormatter formatter;
    HtmlRenderer html([&text](std::string_view piece) { text += piece; }, formatter,
                      [&asked](const diagram::DiagramModel&, DiagramForm form) {
                          asked.push_back(form);
                          if (form == DiagramForm::Whole) {
                              return std::vector<std::string>{"<svg>whole</svg>"};
                          }
                          return std::vector<std::string>{
                              "<?xml version=\"1.0\"?>\n<svg width=\"451.3pt\" height=\"80pt\">",
                              "<svg height=\"697pt\" width=\"200pt\">"};
                      });
    html.Title({"Ostrel2", {2026, 12, 6, 18, 15, 30}, "", "db.mdb"});
    html.BeginSection(ObjectKind::Relationship);
    html.EndSection(ObjectKind::Relationship, &model);
    html.BeginSection(ObjectKind::Query);
    for (std::size_t i = 0; i <= kStaticObjectLimit; ++i) {
        html.Object({.kind = ObjectKind::Query, .name = "Q" + std::to_string(i)});
    }
    html.EndSection(ObjectKind::Query, nullptr);
    html.End();
    EXPECT_EQ(asked, (std::vector{DiagramForm::Whole, DiagramForm::Pages}));
    // The pages' bodies follow the whole picture's and the 2,000 queries'.
    // Each page is numbered as the "continued on page N" labels count.
    EXPECT_NE(text.find("<div class=\"diagram-page pending\" hidden "
                        "data-page=\"1\" data-object=\"2001\" data-width=\"451.3\" "
                        "data-height=\"80\"></div>\n<div class=\"diagram-page pending\" hidden "
                        "data-page=\"2\" data-object=\"2002\" "
                        "data-width=\"200\" data-height=\"697\"></div>\n</figure>"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("<svg>whole"), std::string::npos);
}

}  // namespace
}  // namespace ostrel::engine::testing
