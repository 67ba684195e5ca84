// Round trips through mdbtools: table lists, schema with indexes and foreign
// keys, exported rows, properties and the catalog tables must all read back.
// The expected texts quote mdbtools output verbatim, split where long.
// NOLINTBEGIN(bugprone-suspicious-missing-comma,modernize-raw-string-literal)
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/jetgen/tool_runner.h"

namespace ostrel::jetgen::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

class MdbtoolsRoundTrip : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!HaveProgram("mdb-tables") || !HaveProgram("mdb-export")) {
            GTEST_SKIP() << "mdbtools is not installed";
        }
    }

    std::filesystem::path Sample() {
        std::ifstream in(std::filesystem::path(OSTREL_SOURCE_DIR) / "samples/sample-business.json");
        std::ostringstream text;
        text << in.rdbuf();
        return Generate(dir_, text.str());
    }

    static std::string Tool(const std::string& args) {
        const CommandResult r = RunCommand(args);
        EXPECT_EQ(r.status, 0) << args;
        return r.output;
    }

    static std::string Quote(const std::filesystem::path& p) { return ShellQuote(p.string()); }

    ScratchDir dir_;
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

TEST_F(MdbtoolsRoundTrip, ListsUserAndSystemTables) {
    const auto file = Sample();
    EXPECT_EQ(Tool("mdb-ver " + Quote(file)), "JET4\n");
    EXPECT_EQ(Tool("mdb-tables -1 " + Quote(file)),
              "Customers\nCategories\nSuppliers\nProducts\nEmployees\nShippers\nOrders\n"
              "OrderDetails\nAuditLog\n");
    EXPECT_EQ(Tool("mdb-tables -S -1 " + Quote(file)),
              "MSysObjects\nMSysACEs\nMSysQueries\nMSysRelationships\nMSysAccessObjects\n"
              "Customers\nCategories\nSuppliers\nProducts\nEmployees\nShippers\nOrders\n"
              "OrderDetails\nAuditLog\nUSysSettings\n");
}

TEST_F(MdbtoolsRoundTrip, SchemaShowsTypesSizesIndexesAndForeignKeys) {
    const std::string schema = Tool("mdb-schema " + Quote(Sample()) + " postgres");
    for (const char* expected : {
             "\"customerid\"\t\t\tSERIAL",
             "\"companyname\"\t\t\tVARCHAR (60) NOT NULL",
             "\"creditlimit\"\t\t\tNUMERIC(15,2)",
             "\"active\"\t\t\tBOOLEAN NOT NULL",
             "\"customerkey\"\t\t\tUUID",
             "\"website\"\t\t\tTEXT",
             "\"picture\"\t\t\tBYTEA",
             "\"categoryid\"\t\t\tSMALLINT NOT NULL",
             "\"rating\"\t\t\tREAL",
             "\"weightkg\"\t\t\tDOUBLE PRECISION",
             "\"margin\"\t\t\tNUMERIC (9, 4)",
             "\"contractsigned\"\t\t\tTIMESTAMP WITHOUT TIME ZONE",
             "COMMENT ON TABLE \"customers\" IS 'Companies that buy from us';",
             "COMMENT ON COLUMN \"customers\".\"customerid\" IS 'Unique customer number';",
             "ADD CONSTRAINT \"customers_pkey\" PRIMARY KEY (\"customerid\");",
             "CREATE UNIQUE INDEX \"customers_companyname_idx\" ON \"customers\" "
             "(\"companyname\");",
             "CREATE INDEX \"suppliers_countryrating_idx\" ON \"suppliers\" (\"country\", "
             "\"rating\" DESC);",
             "CREATE INDEX \"orders_orderdate_idx\" ON \"orders\" (\"orderdate\" DESC);",
             "ADD CONSTRAINT \"orderdetails_pkey\" PRIMARY KEY (\"orderid\", \"productid\");",
             "FOREIGN KEY (\"customerid\") REFERENCES \"Customers\"(\"customerid\") ON UPDATE "
             "CASCADE DEFERRABLE",
             "FOREIGN KEY (\"orderid\") REFERENCES \"Orders\"(\"orderid\") ON UPDATE CASCADE ON "
             "DELETE CASCADE",
             "FOREIGN KEY (\"shipvia\") REFERENCES \"Shippers\"(\"shipperid\") DEFERRABLE",
         }) {
        EXPECT_THAT(schema, HasSubstr(expected));
    }
    // Relationships without enforced integrity have no foreign-key indexes.
    EXPECT_THAT(schema, Not(HasSubstr("products_supplierid_fk")));
    EXPECT_THAT(schema, Not(HasSubstr("employees_reportsto_fk")));
}

TEST_F(MdbtoolsRoundTrip, ExportsRowsOfEveryType) {
    const auto file = Sample();
    const std::string dates = " -T '%Y-%m-%d %H:%M:%S' ";
    EXPECT_EQ(Tool("mdb-export" + dates + Quote(file) + " Orders"),
              "OrderID,CustomerID,EmployeeID,OrderDate,ShippedDate,ShipVia,Freight\n"
              "1,1,1,\"2024-03-04 10:15:00\",\"2024-03-05 00:00:00\",1,12.5000\n"
              "2,2,2,\"2024-03-06 13:00:00\",,2,0.0000\n"
              "3,1,2,\"2024-03-11 08:45:00\",\"2024-03-11 00:00:00\",1,7.2500\n");
    EXPECT_EQ(
        Tool("mdb-export" + dates + Quote(file) + " Products"),
        "ProductID,ProductName,SupplierID,CategoryID,UnitPrice,WeightKg,UnitsInStock,"
        "Discontinued,Barcode,Margin\n"
        "1,\"Polyester rope 12 mm\",1,1,2.3500,0.09,400,0,\"\x01#Eg\x89\xab\xcd\xef\",0.3125\n"
        "2,\"Antifouling paint 2.5 l\",2,2,64.9000,3.1,35,0,,0.4100\n"
        "3,\"Life jacket\",1,3,89.0000,0.7,12,1,,-0.0500\n");
    const auto customers = Lines(Tool("mdb-export " + Quote(file) + " Customers"));
    ASSERT_EQ(customers.size(), 4U);
    EXPECT_EQ(customers[1],
              "1,\"Anchor Marine\",\"Ines Duarte\",\"ines@anchor.example\",\"555-0101\","
              "\"Anchor#http://anchor.example/#\",\"Pays within ten days.\",2500.0000,1,"
              "\"{6F9619FF-8B86-D011-B42D00C04FC964FF}\"");
    EXPECT_THAT(customers[2], HasSubstr("\"Prefers deliveries before noon. Their loading dock"));
}

TEST_F(MdbtoolsRoundTrip, PropertiesAreStoredAsAccessStoresThem) {
    const auto file = Sample();
    const std::string props = Tool("mdb-prop " + Quote(file) + " Customers");
    for (const char* expected : {
             "name: (none)\n",
             "\tValidationRule: [CreditLimit] >= 0 Or [CreditLimit] Is Null\n",
             "\tValidationText: A credit limit cannot be negative.\n",
             "\tDescription: Companies that buy from us\n",
             "name: CompanyName\n\tAllowZeroLength: no\n\tRequired: yes\n",
             "name: Email\n\tAllowZeroLength: yes\n\tValidationRule: Like \"*@*\"\n"
             "\tValidationText: An e-mail address needs an @.\n",
             "name: CreditLimit\n\tDefaultValue: 1000\n",
         }) {
        EXPECT_THAT(props, HasSubstr(expected));
    }
    EXPECT_THAT(Tool("mdb-prop " + Quote(file) + " MSysDb"), HasSubstr("AccessVersion: 08.50"));
    EXPECT_THAT(Tool("mdb-prop " + Quote(file) + " SummaryInfo"),
                HasSubstr("Title: Harbour Supplies"));
}

TEST_F(MdbtoolsRoundTrip, CatalogHoldsObjectsWithTypesFlagsAndLinks) {
    const auto file = Sample();
    const std::string objects =
        Tool("mdb-export -T '%Y-%m-%d %H:%M:%S' -b strip " + Quote(file) + " MSysObjects");
    for (const char* expected : {
             ",251658241,\"Customers\",1,\"2024-03-01 09:05:00\",\"2024-03-12 16:40:00\",,0,",
             ",251658241,\"AuditLog\",1,\"2024-03-01 09:00:00\",\"2024-03-01 09:00:00\",,8,",
             ",251658241,\"USysSettings\",1,",
             ",251658241,\"ArchivedOrders\",6,\"2024-03-02 11:00:00\"",
             "\"C:\\Data\\HarbourArchive.mdb\",,\"Orders\"",
             "\"Quantity By Product And Month\",5,",
             "\"CustomersOrders\",8,",
             "268435456,251658242,\"MSysDb\",2,",
         }) {
        EXPECT_THAT(objects, HasSubstr(expected));
    }
    // Query catalog flags carry the DAO query type; hidden adds 8.
    for (const auto& [name, flags] :
         std::vector<std::pair<std::string, std::string>>{{"Customer List", "0"},
                                                          {"Quantity By Product And Month", "16"},
                                                          {"Delete Discontinued", "32"},
                                                          {"Raise Prices", "48"},
                                                          {"Archive Old Orders", "64"},
                                                          {"Snapshot Active Customers", "80"},
                                                          {"Create Freight Index", "96"},
                                                          {"Warehouse Stock Levels", "112"},
                                                          {"All Contacts", "128"},
                                                          {"Orders Between Dates", "8"}}) {
        std::string pattern = "\"" + name;
        pattern += "\",5,\"[^\"]*\",\"[^\"]*\",,";
        pattern += flags + ",";
        EXPECT_THAT(objects, testing::ContainsRegex(pattern)) << name;
    }
}

TEST_F(MdbtoolsRoundTrip, RelationshipsAndQueriesAreInTheirCatalogTables) {
    const auto file = Sample();
    const std::string relationships = Tool("mdb-export " + Quote(file) + " MSysRelationships");
    for (const char* expected : {
             "\"CustomersOrders\",256,1,0,\"Orders\",\"CustomerID\",\"Customers\",\"CustomerID\"",
             "\"OrdersOrderDetails\",4352,1,0,\"OrderDetails\",\"OrderID\",\"Orders\",\"OrderID\"",
             "\"SuppliersProducts\",16777218,1,0,\"Products\",\"SupplierID\",\"Suppliers\"",
             "\"ShippersOrders\",33554432,1,0,\"Orders\",\"ShipVia\",\"Shippers\",\"ShipperID\"",
             "\"EmployeesEmployees\",2,1,0,\"Employees\",\"ReportsTo\",\"Employees\"",
         }) {
        EXPECT_THAT(relationships, HasSubstr(expected));
    }
    EXPECT_EQ(Lines(relationships).size(), 9U);

    const std::string queries = Tool("mdb-export " + Quote(file) + " MSysQueries");
    for (const char* expected : {
             ",2,,\"[Customer name]\",,,10,60",
             ",2,,\"[Cutoff date]\",,,8,",
             ",1,,\"ArchivedOrders\",,,3,",
             ",1,,\"CustomerSnapshot\",,,2,",
             ",1,,,,\"CREATE INDEX Freight ON Orders (Freight);\",7,",
             ",1,,\"ODBC;DSN=Warehouse;DATABASE=stock\",,\"SELECT sku, on_hand FROM "
             "stock_levels\",8,",
             ",5,,,\"X7YZ_____2\",\"SELECT CompanyName, Phone FROM Shippers\",,",
             ",7,,\"Customers\",\"Orders\",\"Customers.CustomerID = Orders.CustomerID\",1,",
             ",7,,\"Orders\",\"Shippers\",\"Orders.ShipVia = Shippers.ShipperID\",2,",
             ",11,,\"D\",,\"Orders.OrderDate\",,",
             ",3,,\"10\",,,49,",
             ",3,,,,,2,",
             ",6,,,,\"Format([Orders].[OrderDate],\"\"mmm\"\")\",1,",
             ",10,,,,\"Sum([OrderDetails].[Quantity]*[OrderDetails].[UnitPrice])>100\",,",
         }) {
        EXPECT_THAT(queries, HasSubstr(expected));
    }
    EXPECT_THAT(Tool("mdb-queries " + Quote(file) + " 'Top Ten Percent Orders'"),
                HasSubstr("SELECT TOP 10 PERCENT Orders.* FROM [Orders]"));
}

TEST_F(MdbtoolsRoundTrip, LongValuesAcrossPagesExportWhole) {
    const std::string memo(6000, 'q');
    const auto file = Generate(dir_, R"({"tables":[{"name":"Notes","columns":[
        {"name":"Body","type":"Memo"},{"name":"Short","type":"Memo"}],
        "rows":[[")" + memo + R"(","tiny"]]}]})");
    EXPECT_EQ(Tool("mdb-export " + Quote(file) + " Notes"),
              "Body,Short\n\"" + memo + "\",\"tiny\"\n");
}

}  // namespace
}  // namespace ostrel::jetgen::test
// NOLINTEND(bugprone-suspicious-missing-comma,modernize-raw-string-literal)
