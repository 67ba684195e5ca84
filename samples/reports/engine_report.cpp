#include "samples/reports/engine_report.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <system_error>

#include "components/memory/memory_database.h"
#include "engine/locale_formatter.h"
#include "engine/run.h"

namespace ostrel::sample {
namespace {

namespace dt = schema::data_type;
namespace fa = schema::field_attribute;

class AllSwitchesOn final : public engine::ReportSwitches {
  public:
    bool GetReportSwitch(std::string_view /*key*/) const override { return true; }
};

// A paged output that only carries the document; completing it returns at
// once.
class DocumentOnlyOutput final : public engine::PagedOutput {
  public:
    explicit DocumentOnlyOutput(document::ReportDocument& doc) : doc_(doc) {}
    document::ReportDocument& Document() override { return doc_; }
    void Complete(int /*pages*/) override {}

  private:
    document::ReportDocument& doc_;
};

// Every object selected, no status shown, the last message kept.
class SampleHost final : public engine::RunStatus,
                         public engine::RunMessages,
                         public engine::Selection {
  public:
    void SetStatusText(int /*panel*/, const std::string& /*text*/) override {}
    void RepaintStatus() override {}
    void ShowMessage(const std::string& text, engine::MessageIcon /*icon*/,
                     const std::string& /*caption*/) override {
        message = text;
    }
    bool IsSelected(engine::ObjectKind /*kind*/, const std::string& /*name*/) const override {
        return true;
    }
    std::string message;
};

memory::DatabaseBlueprint OrdersDatabase() {
    using memory::FieldBlueprint;
    using memory::IndexBlueprint;
    const schema::DateTime created{2024, 3, 12, 9, 15, 7};
    memory::DatabaseBlueprint db;
    db.tables.push_back(
        {.name = "Customers",
         .dateCreated = created,
         .lastUpdated = schema::DateTime{2025, 11, 2, 17, 40, 0},
         .recordCount = 91,
         .validationRule = "[Country] Is Not Null Or [Region] Is Null",
         .fields = {{.name = "CustomerID",
                     .type = dt::kText,
                     .size = 5,
                     .attributes = fa::kVariable | fa::kUpdatable,
                     .required = true,
                     .validationRule = "Like \"[A-Z]*\"",
                     .validationText = "Customer IDs start with a letter."},
                    {.name = "CompanyName",
                     .type = dt::kText,
                     .size = 40,
                     .attributes = fa::kVariable | fa::kUpdatable,
                     .required = true,
                     .ordinalPosition = 1},
                    {.name = "Country",
                     .type = dt::kText,
                     .size = 15,
                     .attributes = fa::kVariable | fa::kUpdatable,
                     .defaultValue = std::string("\"Deutschland\""),
                     .ordinalPosition = 2,
                     .validationRule = "In (\"Deutschland\";\"Österreich\";\"Schweiz\")",
                     .validationText = "Choose a country we deliver to;\r\nask the sales office | "
                                       "Verkauf for others."},
                    {.name = "HomePage",
                     .type = dt::kMemo,
                     .attributes = fa::kVariable | fa::kUpdatable | fa::kHyperlink,
                     .defaultValue = std::string("http://www.example.com/customers/portal/"
                                                 "registration/confirm?reference=ABCDEFGHIJKLMNO"),
                     .ordinalPosition = 3}},
         .indexes = {{.name = "PrimaryKey",
                      .primary = true,
                      .required = true,
                      .unique = true,
                      .distinctCount = 91,
                      .fields = "+CustomerID"},
                     {.name = "CompanyName", .distinctCount = 91, .fields = "+CompanyName"}}});
    db.tables.push_back(
        {.name = "Κατηγορίες",
         .dateCreated = created,
         .lastUpdated = created,
         .recordCount = 8,
         .fields = {{.name = "ΚωδικόςΚατηγορίας",
                     .type = dt::kLong,
                     .size = 4,
                     .attributes = fa::kFixed | 0x0010U | fa::kUpdatable,
                     .required = true},
                    {.name = "Όνομα",
                     .type = dt::kText,
                     .size = 50,
                     .attributes = fa::kVariable | fa::kUpdatable,
                     .required = true,
                     .ordinalPosition = 1,
                     .validationText = "Το όνομα της κατηγορίας είναι υποχρεωτικό."},
                    {.name = "Описание",
                     .type = dt::kMemo,
                     .attributes = fa::kVariable,
                     .ordinalPosition = 2}},
         .indexes = {{.name = "PrimaryKey",
                      .primary = true,
                      .unique = true,
                      .fields = "+ΚωδικόςΚατηγορίας"}}});
    db.tables.push_back({.name = "受注明細",
                         .dateCreated = created,
                         .lastUpdated = created,
                         .recordCount = 2155,
                         .fields = {{.name = "受注コード",
                                     .type = dt::kLong,
                                     .size = 4,
                                     .attributes = fa::kFixed | fa::kUpdatable,
                                     .required = true},
                                    {.name = "単価",
                                     .type = dt::kCurrency,
                                     .size = 8,
                                     .attributes = fa::kFixed | fa::kUpdatable,
                                     .required = true,
                                     .defaultValue = std::int64_t{0},
                                     .ordinalPosition = 1,
                                     .validationRule = ">=0",
                                     .validationText = "単価は0以上でなければなりません。"}},
                         .indexes = {{.name = "PrimaryKey",
                                      .primary = true,
                                      .unique = true,
                                      .fields = "+受注コード;-単価"}}});
    db.relations.push_back({.name = "CustomersOrders",
                            .table = "Customers",
                            .foreignTable = "Orders",
                            .attributes = 4352,
                            .fields = {{"CustomerID", "CustomerID"}}});
    db.queries.push_back(
        {.name = "Quarterly Orders by Product",
         .sql = "TRANSFORM Sum(CCur([Order Details].UnitPrice*[Quantity]*(1-[Discount])/100)*100) "
                "AS ProductAmount\r\nSELECT Products.ProductName, Orders.CustomerID, "
                "Year([OrderDate]) AS OrderYear\r\nFROM Products INNER JOIN (Orders INNER JOIN "
                "[Order Details] ON Orders.OrderID = [Order Details].OrderID) ON "
                "Products.ProductID = [Order Details].ProductID\r\nWHERE Orders.OrderDate Between "
                "[Start Date] And [End Date]\r\nGROUP BY Products.ProductName, Orders.CustomerID, "
                "Year([OrderDate])\r\nPIVOT \"Qtr \" & DatePart(\"q\",[OrderDate],1,0) In (\"Qtr "
                "1\",\"Qtr 2\",\"Qtr 3\",\"Qtr 4\");\r\n",
         .type = schema::query_type::kCrosstab,
         .dateCreated = schema::DateTime{2025, 5, 14, 16, 2, 41},
         .lastUpdated = schema::DateTime{2025, 5, 14, 16, 2, 41},
         .updatable = false,
         .parameters = {{.name = "[Start Date]", .type = dt::kDate},
                        {.name = "[End Date]", .type = dt::kDate}}});
    return db;
}

}  // namespace

bool WriteEngineReport(document::ReportDocument& doc, std::string& error) {
    return RunEngineReport([&doc] { return std::make_unique<DocumentOnlyOutput>(doc); }, false,
                           error);
}

bool RunEngineReport(const std::function<std::unique_ptr<engine::PagedOutput>()>& loadWindow,
                     bool empty, std::string& error) {
    std::error_code ec;
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path(ec) / "ostrel-render-pages";
    std::filesystem::create_directories(folder, ec);
    const std::filesystem::path file = folder / "Northwind Trading.mdb";
    std::ofstream(file).put(' ');  // the run checks that the file exists
    if (!std::filesystem::is_regular_file(file, ec)) {
        error = "cannot create " + file.string();
        return false;
    }
    memory::MemoryEngine engine;
    engine.Register(file.string(), empty ? memory::DatabaseBlueprint{} : OrdersDatabase());
    const AllSwitchesOn switches;
    const std::unique_ptr<engine::ValueFormatter> formatter = engine::MakeLocaleFormatter("");
    engine::Run run(engine, switches, *formatter);
    SampleHost host;
    engine::RunRequest request;
    request.databasePath = file.string();
    request.target = engine::ReportTarget::Preview;
    request.pagedOutput = loadWindow;
    engine::RunPorts ports{host, host, host};
    const engine::RunOutcome outcome = run.Report(request, ports);
    std::filesystem::remove(file, ec);
    if (outcome != engine::RunOutcome::Finished) {
        error = host.message.empty() ? "the report run failed" : host.message;
        return false;
    }
    return true;
}

}  // namespace ostrel::sample
