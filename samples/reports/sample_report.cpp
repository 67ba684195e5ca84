#include "samples/reports/sample_report.h"

#include <array>
#include <string_view>
#include <vector>

namespace ostrel::sample {
namespace {

constexpr std::string_view kTwoColumns = "2000|8000;";
constexpr std::string_view kThreeColumns = "2000|2400|5600;";

// Separators inside a value belong to the cell: the run escapes them.
std::string Escape(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '|' || c == ';' || c == '\\') {
            out.push_back('\\');
        }
        out.push_back(c);
    }
    return out;
}

class Writer {
  public:
    explicit Writer(document::ReportDocument& doc) : doc_(doc) {}

    void Setup() {
        doc_.SetPageBorder(0);
        doc_.SetPageCaption("|Page %d|");
        doc_.SetCaptionTextSize(8);
        doc_.SetPreviewMode(true);
        doc_.StartDocument();
    }
    void Title(const std::string& path) {
        doc_.SetTextSize(14);
        for (const std::string& line :
             {std::string("Ostrel2 Version 1.0.6"),
              std::string("Report produced : 06/12/2026 18:44:17"), "On contents of : " + path}) {
            doc_.AddParagraph(line);
            doc_.AddParagraph("");
        }
        doc_.SetTextSize(8);
    }
    void Section(const std::string& heading) {
        doc_.SetHeadingEmphasis(true);
        doc_.SetTextSize(12);
        doc_.AddParagraph(heading);
        doc_.SetTextSize(8);
        doc_.SetHeadingEmphasis(false);
        doc_.AddParagraph("");
        doc_.SetTableStyle(0);
    }
    void Object(const std::string& heading) {
        doc_.SetObjectHeadingEmphasis(true);
        doc_.AddParagraph(heading);
        doc_.SetObjectHeadingEmphasis(false);
        doc_.AddParagraph("");
    }
    void Table(std::string_view format, const std::string& rows) {
        if (!rows.empty()) {
            doc_.AddTable(std::string(format) + rows);
        }
        doc_.AddParagraph("");
    }
    void End() { doc_.SetTableStyle(7); }
    void Finish() { doc_.EndDocument(); }

  private:
    document::ReportDocument& doc_;
};

// Appends one row: an indent (or block caption) cell, a label and a value.
void Row(std::string& text, const std::string& first, std::string_view label,
         const std::string& value) {
    text += Escape(first);
    text += '|';
    text += label;
    text += '|';
    text += Escape(value);
    text += ';';
}

struct FieldBlueprint {
    std::string name;
    std::string type;
    int size;
    bool required;
    std::string defaultValue;
    std::string validationRule;
    std::string validationText;
};

constexpr std::array<std::string_view, 15> kFieldLabels = {
    "AllowZeroLength", "AutoIncrField",  "DataUpdatable",
    "DefaultValue",    "FixedField",     "HyperlinkField",
    "OrdinalPosition", "Required",       "Size",
    "SystemField",     "Type",           "UpdatableField",
    "ValidationRule",  "ValidationText", "VariableField"};

std::string FieldValue(const FieldBlueprint& f, std::string_view label, int ordinal) {
    if (label == "DefaultValue") {
        return f.defaultValue;
    }
    if (label == "OrdinalPosition") {
        return std::to_string(ordinal);
    }
    if (label == "Required") {
        return f.required ? "True" : "False";
    }
    if (label == "Size") {
        return std::to_string(f.size);
    }
    if (label == "Type") {
        return f.type;
    }
    if (label == "ValidationRule") {
        return f.validationRule;
    }
    if (label == "ValidationText") {
        return f.validationText;
    }
    if (label == "VariableField") {
        return f.type == "Text" ? "True" : "False";
    }
    if (label == "FixedField") {
        return f.type == "Text" ? "False" : "True";
    }
    if (label == "DataUpdatable") {
        return "False";
    }
    if (label == "AutoIncrField") {
        return f.type == "Long" && ordinal == 0 ? "True" : "False";
    }
    return "False";
}

// The rows most often left switched on, for the large report.
constexpr std::array<std::string_view, 15> kCommonFieldLabels = {
    "Type",           "Size",
    "Required",       "OrdinalPosition",
    "DefaultValue",   "AllowZeroLength",
    "AutoIncrField",  "DataUpdatable",
    "FixedField",     "HyperlinkField",
    "SystemField",    "UpdatableField",
    "ValidationRule", "ValidationText",
    "VariableField"};

std::string FieldBlocks(const std::vector<FieldBlueprint>& fields,
                        const std::array<std::string_view, 15>& labels, std::size_t rowsPerField) {
    std::string text;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const FieldBlueprint& f = fields[i];
        text += Escape("Field - " + f.name);
        for (std::size_t k = 0; k < rowsPerField && k < labels.size(); ++k) {
            text += '|';
            text += labels[k];
            text += '|';
            text += Escape(FieldValue(f, labels[k], static_cast<int>(i)));
            text += ';';
        }
        text += ';';
    }
    return text;
}

std::string TableRows(const std::string& created, const std::string& records,
                      const std::string& rule) {
    std::string text;
    Row(text, "", "DateCreated", created);
    Row(text, "", "LastUpdated", created);
    Row(text, "", "RecordCount", records);
    Row(text, "", "Updatable", "True");
    Row(text, "", "ValidationRule", rule);
    Row(text, "", "ValidationText", "");
    return text;
}

}  // namespace

void WriteOrdersReport(document::ReportDocument& doc) {
    Writer w(doc);
    w.Setup();
    w.Title(R"(C:\Data\Sales\Northwind Trading 2026.mdb)");

    w.Section("1 - Database Properties");
    {
        std::string rows;
        for (const auto& [label, value] :
             std::vector<std::pair<std::string, std::string>>{{"CollatingOrder", "1033"},
                                                              {"ReplicaID", ""},
                                                              {"Transactions", "True"},
                                                              {"Updatable", "True"},
                                                              {"Version", "4.0"}}) {
            rows += label + "|" + Escape(value) + ";";
        }
        w.Table(kTwoColumns, rows);
    }
    w.End();

    w.Section("2 - Table Properties");
    const std::vector<std::pair<std::string, std::vector<FieldBlueprint>>> tables = {
        {"Customers",
         {{"CustomerID", "Text", 5, true, "", "Like \"[A-Z]*\"",
           "Customer IDs start with a letter."},
          {"CompanyName", "Text", 40, true, "", "", ""},
          {"ContactName", "Text", 30, false, "", "", ""},
          {"Country", "Text", 15, false, "\"Deutschland\"",
           "In (\"Deutschland\";\"Österreich\";\"Schweiz\")",
           "Choose one of the countries we deliver to;\r\nask the sales office | Verkauf for "
           "others."},
          {"HomePage", "Hyperlink", 0, false,
           "http://www.example.com/customers/portal/registration/"
           "confirm?reference=ABCDEFGHIJKLMNOP1234567890",
           "", ""}}},
        {"Κατηγορίες (Kategorien)",
         {{"ΚωδικόςΚατηγορίας", "Long", 4, true, "", "", ""},
          {"Όνομα", "Text", 50, true, "", "", "Το όνομα της κατηγορίας είναι υποχρεωτικό."},
          {"Описание", "Memo", 0, false, "", "", "Описание категории товаров"}}},
        {"受注明細",
         {{"受注コード", "Long", 4, true, "", "", ""},
          {"商品コード", "Long", 4, true, "", "", ""},
          {"単価", "Currency", 8, true, "0", ">=0", "単価は0以上でなければなりません。"},
          {"数量", "Integer", 2, true, "1", ">0", ""}}},
    };
    int n = 0;
    for (const auto& [name, fields] : tables) {
        w.Object("Table : " + name);
        w.Table(kThreeColumns, TableRows("12/03/2024 09:1" + std::to_string(n) + ":07",
                                         std::to_string(91 * (n + 1)), ""));
        w.Table(kThreeColumns, FieldBlocks(fields, kFieldLabels, kFieldLabels.size()));
        std::string indexes;
        Row(indexes, "Index - PrimaryKey", "Clustered", "False");
        Row(indexes, "", "Fields", "+" + fields.front().name);
        Row(indexes, "", "Primary", "True");
        Row(indexes, "", "Unique", "True");
        indexes += ";";
        w.Table(kThreeColumns, indexes);
        ++n;
    }
    w.End();

    w.Section("3 - Relationship Properties");
    for (const auto& [rel, table, foreign] : std::vector<std::array<std::string, 3>>{
             {"CustomersOrders", "Customers", "Orders"},
             {"OrdersOrder Details", "Orders", "Order Details"}}) {
        w.Object("Relationship : " + rel);
        std::string rows;
        Row(rows, "", "Attributes", "4352");
        Row(rows, "", "Fields", "CustomerID");
        Row(rows, "", "ForeignTable", foreign);
        Row(rows, "", "PartialReplica", "False");
        Row(rows, "", "Table", table);
        w.Table(kThreeColumns, rows);
    }
    w.End();

    w.Section("4 - Query Properties");
    {
        w.Object("Query : Quarterly Orders by Product");
        std::string rows;
        Row(rows, "", "DateCreated", "14/05/2025 16:02:41");
        Row(rows, "", "ReturnsRecords", "True");
        Row(rows, "", "SQL",
            "TRANSFORM Sum(CCur([Order Details].UnitPrice*[Quantity]*(1-[Discount])/100)*100) AS "
            "ProductAmount SELECT Products.ProductName, Orders.CustomerID, Year([OrderDate]) AS "
            "OrderYear FROM Products INNER JOIN (Orders INNER JOIN [Order Details] ON "
            "Orders.OrderID = [Order Details].OrderID) ON Products.ProductID = [Order "
            "Details].ProductID WHERE (((Orders.OrderDate) Between #1/1/1997# And #12/31/1997#)) "
            "GROUP BY Products.ProductName, Orders.CustomerID, Year([OrderDate]) PIVOT \"Qtr \" & "
            "DatePart(\"q\",[OrderDate],1,0) In (\"Qtr 1\",\"Qtr 2\",\"Qtr 3\",\"Qtr 4\")");
        Row(rows, "", "Type", "Crosstab");
        Row(rows, "", "Updatable", "False");
        w.Table(kThreeColumns, rows);
        std::string params;
        Row(params, "Parameter - [Start Date]", "Direction", "Input");
        Row(params, "", "Type", "Date/Time");
        w.Table(kThreeColumns, params);
    }
    w.End();
    w.Finish();
}

void WriteLargeReport(document::ReportDocument& doc, int tables, int fields, int fieldRows) {
    Writer w(doc);
    w.Setup();
    w.Title(R"(C:\Data\Large.mdb)");
    w.Section("1 - Database Properties");
    w.Table(kTwoColumns, "CollatingOrder|1033;Transactions|True;Updatable|True;Version|4.0;");
    w.End();
    w.Section("2 - Table Properties");
    static const std::array<const char*, 5> kTypes = {"Text", "Long", "Date/Time", "Currency",
                                                      "Memo"};
    std::vector<FieldBlueprint> specs;
    for (int t = 0; t < tables; ++t) {
        specs.clear();
        for (int f = 0; f < fields; ++f) {
            specs.push_back({"Column" + std::to_string(f) + "_" + std::to_string(t),
                             kTypes[static_cast<std::size_t>(f) % kTypes.size()], 4 + f % 50,
                             f % 3 == 0, "", "", ""});
        }
        w.Object("Table : Table" + std::to_string(t));
        w.Table(kThreeColumns, TableRows("12/03/2024 09:15:07", std::to_string(t * 37), ""));
        w.Table(kThreeColumns,
                FieldBlocks(specs, kCommonFieldLabels, static_cast<std::size_t>(fieldRows)));
    }
    w.End();
    w.Finish();
}

}  // namespace ostrel::sample
