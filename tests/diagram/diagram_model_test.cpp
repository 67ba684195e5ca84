// Which tables and relationships a diagram shows, and what its line ends say.
#include <gtest/gtest.h>

#include <set>

#include "components/diagram/diagram_model.h"
#include "components/memory/memory_database.h"
#include "components/memory/memory_schema.h"
#include "tests/diagram/relation_blueprint.h"

namespace ostrel::diagram {
namespace {

namespace attr = schema::relation_attribute;
using memory::DatabaseBlueprint;
using memory::RelationBlueprint;
using memory::TableBlueprint;

TableBlueprint Table(const std::string& name, std::vector<std::string> fields,
                     const std::string& key = "+ID") {
    TableBlueprint table{.name = name};
    for (std::string& field : fields) {
        table.fields.push_back({.name = std::move(field)});
    }
    table.indexes.push_back({.name = "PrimaryKey", .primary = true, .fields = key});
    return table;
}

using testing::Relation;

DiagramModel Build(const DatabaseBlueprint& blueprint, const std::set<std::string>& unticked = {}) {
    memory::MemoryEngine engine;
    engine.Register("db", blueprint);
    const auto database = engine.OpenDatabase("db");
    return BuildDiagramModel(*database, [&](const std::string& name) {
        return !unticked.contains(name) && !name.starts_with("MSys");
    });
}

TEST(DiagramModel, EndsFollowTheRelationshipAttributes) {
    struct Case {
        std::uint32_t attributes;
        EndMark primary;
        EndMark foreign;
        bool arrowToPrimary;
        bool arrowToForeign;
        std::string legend;
    };
    const std::vector<Case> cases = {
        {0, EndMark::One, EndMark::Many, false, false, ""},
        {attr::kUnique, EndMark::One, EndMark::One, false, false, ""},
        {attr::kDontEnforce, EndMark::None, EndMark::None, false, false, ""},
        {attr::kDontEnforce | attr::kUnique, EndMark::None, EndMark::None, false, false, ""},
        {attr::kLeft, EndMark::One, EndMark::Many, false, true, ""},
        {attr::kRight | attr::kDontEnforce, EndMark::None, EndMark::None, true, false, ""},
        {attr::kUpdateCascade, EndMark::One, EndMark::Many, false, false, "cascade updates"},
        {attr::kDeleteCascade, EndMark::One, EndMark::Many, false, false, "cascade deletes"},
        {attr::kUpdateCascade | attr::kDeleteCascade, EndMark::One, EndMark::Many, false, false,
         "cascade updates, deletes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.attributes);
        DatabaseBlueprint blueprint;
        blueprint.tables = {Table("A", {"ID"}), Table("B", {"ID", "ParentID"})};
        blueprint.relations = {Relation("AB", "A", "B", c.attributes)};
        const DiagramModel model = Build(blueprint);
        ASSERT_EQ(model.relations.size(), 1U);
        const DiagramRelation& r = model.relations.front();
        EXPECT_EQ(r.primaryEnd, c.primary);
        EXPECT_EQ(r.foreignEnd, c.foreign);
        EXPECT_EQ(r.arrowToPrimary, c.arrowToPrimary);
        EXPECT_EQ(r.arrowToForeign, c.arrowToForeign);
        EXPECT_EQ(r.legend, c.legend);
    }
}

TEST(DiagramModel, DrawsOnlyRelationshipsBetweenTickedTables) {
    DatabaseBlueprint blueprint;
    blueprint.tables = {Table("MSysObjects", {"ID", "ParentID"}),
                        Table("Customers", {"ID", "Name"}),
                        Table("Orders", {"ID", "ParentID"}),
                        Table("Lines", {"ID", "ParentID"}),
                        Table("Loose", {"ID"}),
                        Table("Unticked", {"ID", "ParentID"})};
    blueprint.relations = {Relation("System", "MSysObjects", "MSysObjects"),
                           Relation("CustomerOrders", "Customers", "Orders"),
                           Relation("OrderLines", "orders", "LINES"),  // letter case differs
                           Relation("ToUnticked", "Customers", "Unticked"),
                           Relation("Dangling", "Customers", "NoSuchTable")};
    const DiagramModel model = Build(blueprint, {"Unticked"});

    std::vector<std::string> tables;
    for (const DiagramTable& table : model.tables) {
        tables.push_back(table.name);
    }
    EXPECT_EQ(tables, (std::vector<std::string>{"Customers", "Orders", "Lines"}));
    ASSERT_EQ(model.relations.size(), 2U);
    EXPECT_EQ(model.relations[0].name, "CustomerOrders");
    EXPECT_EQ(model.relations[1].primaryTable, 1);
    EXPECT_EQ(model.relations[1].foreignTable, 2);
    // "Loose" is ticked but in no drawn relationship.
    EXPECT_EQ(model.tablesNotDrawn, std::vector<std::string>{"Loose"});
    EXPECT_EQ(model.NotDrawnLine(),
              "1 selected table is in no relationship and is not drawn: Loose.");

    // Many are named as far as one line goes, and counted.
    DiagramModel many;
    many.tablesNotDrawn = {"A", "B", "C", "D", "E", "F"};
    EXPECT_EQ(many.NotDrawnLine(),
              "6 selected tables are in no relationship and are not drawn: A, B, C, D and 2 more.");
    many.tablesNotDrawn.resize(2);
    EXPECT_EQ(many.NotDrawnLine(),
              "2 selected tables are in no relationship and are not drawn: A and B.");
}

TEST(DiagramModel, MarksKeysLinksAndTheRowsLinesAttachTo) {
    DatabaseBlueprint blueprint;
    TableBlueprint lines = Table("Lines", {"OrderID", "LineNo", "Item"}, "+OrderID;-lineno");
    TableBlueprint archive = Table("Archive", {"ID", "OrderRef"});
    archive.attributes = schema::table_attribute::kAttachedTable;
    archive.indexes.clear();
    blueprint.tables = {Table("Orders", {"ID", "Date"}), lines, archive};
    blueprint.relations = {
        Relation("OrderLines", "Orders", "Lines", 0, {{"id", "ORDERID"}}),
        Relation("Archived", "Orders", "Archive", 0, {{"ID", "OrderRef"}, {"Date", "Missing"}})};
    const DiagramModel model = Build(blueprint);
    ASSERT_EQ(model.tables.size(), 3U);

    const DiagramTable& l = model.tables[1];
    ASSERT_EQ(l.fields.size(), 3U);
    EXPECT_TRUE(l.fields[0].primaryKey);
    EXPECT_TRUE(l.fields[1].primaryKey);
    EXPECT_FALSE(l.fields[2].primaryKey);
    EXPECT_FALSE(l.linked);
    EXPECT_TRUE(model.tables[2].linked);
    EXPECT_FALSE(model.tables[2].fields[0].primaryKey);

    const FieldPair& pair = model.relations[0].fields.at(0);
    EXPECT_EQ(pair.primaryRow, 0);
    EXPECT_EQ(pair.foreignRow, 0);
    const auto& archived = model.relations[1].fields;
    ASSERT_EQ(archived.size(), 2U);
    EXPECT_EQ(archived[0].foreignRow, 1);
    EXPECT_EQ(archived[1].primaryRow, 1);
    EXPECT_EQ(archived[1].foreignRow, -1);
}

TEST(DiagramModel, GroupsJoinTablesThroughAnyRelationship) {
    DatabaseBlueprint blueprint;
    for (const char* name : {"A", "B", "C", "D", "E", "F"}) {
        blueprint.tables.push_back(Table(name, {"ID", "ParentID"}));
    }
    blueprint.relations = {Relation("self", "E", "E"), Relation("ab1", "A", "B"),
                           Relation("ab2", "A", "B"),  Relation("dc", "D", "C"),
                           Relation("cb", "C", "B"),   Relation("ef", "F", "E")};
    const DiagramModel model = Build(blueprint);
    const auto groups = model.ConnectedGroups();
    ASSERT_EQ(groups.size(), 2U);
    EXPECT_EQ(groups[0], (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(groups[1], (std::vector<int>{4, 5}));
    EXPECT_EQ(model.relations.size(), 6U);
    EXPECT_TRUE(model.tablesNotDrawn.empty());
    EXPECT_EQ(model.NotDrawnLine(), "");
}

}  // namespace
}  // namespace ostrel::diagram
