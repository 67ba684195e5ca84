#include "sample_database.h"

namespace ostrel::engine::testing {

using namespace schema::data_type;
using schema::DateTime;

memory::DatabaseBlueprint SampleDatabase() {
    memory::DatabaseBlueprint db;
    db.collatingOrder = 1033;
    db.replicaID = "";
    db.version = "4.0";
    db.transactions = true;
    db.updatable = true;
    db.tables = {
        {.name = "Customers",
         .attributes = 0,
         .dateCreated = DateTime{2024, 3, 1, 9, 5, 7},
         .lastUpdated = DateTime{2024, 3, 2, 0, 0, 0},
         .recordCount = 91,
         .validationRule = "[Country] <> ''",
         .validationText = "Country, please",
         .fields = {{.name = "CustomerID",
                     .type = kLong,
                     .size = 4,
                     .attributes = 0x0011,
                     .dataUpdatable = false,
                     .required = true,
                     .ordinalPosition = 0},
                    {.name = "Name",
                     .type = kText,
                     .size = 50,
                     .attributes = 0x0002 | 0x0020,
                     .allowZeroLength = true,
                     .dataUpdatable = true,
                     .defaultValue = std::string("Unknown"),
                     .ordinalPosition = 1,
                     .validationRule = "Len([Name]) > 0",
                     .validationText = "Name needed"},
                    {.name = "Balance",
                     .type = kDouble,
                     .size = 8,
                     .attributes = 0x0001,
                     .defaultValue = 0.25,
                     .ordinalPosition = 2},
                    {.name = "Joined", .type = kDate, .size = 8, .ordinalPosition = 3},
                    {.name = "Odd", .type = 13, .size = 0, .ordinalPosition = 4}},
         .indexes = {{.name = "PrimaryKey",
                      .clustered = false,
                      .ignoreNulls = false,
                      .primary = true,
                      .required = true,
                      .unique = true,
                      .distinctCount = 91,
                      .fields = "+CustomerID"},
                     {.name = "ByNameJoined", .distinctCount = 90, .fields = "+Name;-Joined"}}},
        {.name = "Orders",
         .dateCreated = DateTime{2024, 3, 1, 0, 0, 0},
         .lastUpdated = DateTime{2025, 1, 31, 23, 59, 59},
         .recordCount = 830,
         .fields = {{.name = "OrderID", .type = kLong, .size = 4, .attributes = 0x0011},
                    {.name = "CustomerID", .type = kLong, .size = 4, .ordinalPosition = 1},
                    {.name = "Notes", .type = kMemo, .size = 0, .ordinalPosition = 2}},
         .indexes = {{.name = "CustomersOrders",
                      .foreign = true,
                      .distinctCount = 89,
                      .fields = "+CustomerID"}}},
        {.name = "Linked",
         .attributes = 0x40000000 | 0x00020000,
         .sourceTableName = "RemoteOrders",
         .updatable = false,
         .fields = {{.name = "Ref", .type = kGuid, .size = 16}}},
        {.name = "MSysObjects",
         .attributes = 0x80000002,
         .fields = {{.name = "Id", .type = kLong, .size = 4, .attributes = 0x2000}}},
        {.name = "Unticked", .fields = {{.name = "X", .type = kByte, .size = 1}}},
    };
    db.relations = {
        {.name = "CustomersOrders",
         .table = "Customers",
         .foreignTable = "Orders",
         .attributes = 4352,
         .fields = {{"CustomerID", "CustomerID"}}},
        {.name = "OrderLines",
         .table = "Orders",
         .foreignTable = "Lines",
         .attributes = 4353,
         .partialReplica = true,
         .fields = {{"OrderID", "OrderID"}, {"LineNo", "LineNo"}}},
    };
    db.queries = {
        {.name = "Big Orders",
         .sql = "SELECT *\r\nFROM Orders\r\nWHERE Total > [Minimum];",
         .type = 0,
         .dateCreated = DateTime{2024, 5, 6, 7, 8, 9},
         .lastUpdated = schema::NullValue{},
         .maxRecords = 0,
         .odbcTimeout = 60,
         .parameters = {{.name = "Minimum", .direction = 1, .type = kCurrency}}},
        {.name = "Make Archive",
         .sql = "SELECT * INTO Archive FROM Orders;",
         .type = 80,
         .maxRecords = 100,
         .odbcTimeout = 0,
         .returnsRecords = false,
         .updatable = false},
        {.name = "By Region",
         .sql = "PARAMETERS Region Text, Year Short;\r\nSELECT * FROM Customers;",
         .type = 0,
         .parameters = {{.name = "Region", .direction = 1, .type = kText},
                        {.name = "Year", .direction = 3, .type = kInteger}}},
        {.name = "Not Ticked", .sql = "SELECT 1;"},
    };
    return db;
}

}  // namespace ostrel::engine::testing
