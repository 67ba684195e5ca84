#include "engine/json_report.h"

#include "engine/progress.h"
#include "engine/property_rows.h"

namespace ostrel::engine {
namespace {

void ShowProcessing(RunHost& host, const std::string& text) {
    host.SetStatusText(2, text);
    host.RepaintStatus();
}

void AddTable(const schema::TableDef& table, const std::string& name,
              const ReportSwitches& switches, WritingPlace& place, JsonReportBuilder& json) {
    json.BeginTable(name, TableRows(table, switches));
    const int fieldCount = table.Fields().Count();
    for (int j = 0; j < fieldCount; ++j) {
        place.Member("field", j);
        const schema::Field& field = table.Fields().Item(j);
        const std::string fieldName = field.Name();
        place.MemberName(fieldName);
        json.Field(fieldName, FieldRows(field, switches));
    }
    const int indexCount = table.Indexes().Count();
    for (int k = 0; k < indexCount; ++k) {
        place.Member("index", k);
        const schema::Index& index = table.Indexes().Item(k);
        const std::string indexName = index.Name();
        place.MemberName(indexName);
        json.Index(indexName, IndexRows(index, switches));
    }
    place.ClearMember();
}

void AddQuery(const schema::QueryDef& query, const std::string& name,
              const ReportSwitches& switches, WritingPlace& place, JsonReportBuilder& json) {
    json.BeginQuery(name, QueryRows(query, switches));
    const int count = query.Parameters().Count();
    for (int i = 0; i < count; ++i) {
        place.Member("parameter", i);
        const schema::Parameter& parameter = query.Parameters().Item(i);
        const std::string parameterName = parameter.Name();
        place.MemberName(parameterName);
        json.Parameter(parameterName, ParameterRows(parameter, switches));
    }
    place.ClearMember();
}

}  // namespace

std::string JsonReportText(const schema::Database& database, const JsonHeader& header,
                           RunHost& host, const ReportSwitches& switches, WritingPlace& place,
                           int& passCounter) {
    JsonReportBuilder json(header, host.DatabasePath());

    place.Stage("writing the database properties");
    ShowProgress(host, passCounter, false);
    ShowProcessing(host, "Processing database");
    json.DatabaseProperties(DatabaseRows(database, switches));

    place.Stage("writing the table properties");
    ShowProgress(host, passCounter, false);
    const int tableCount = database.TableDefs().Count();
    for (int i = 0; i < tableCount; ++i) {
        place.Object("table", i);
        const schema::TableDef& table = database.TableDefs().Item(i);
        const std::string name = table.Name();
        place.ObjectName(name);
        if (host.IsTableSelected(name)) {
            ShowProcessing(host, "Processing table : " + name);
            AddTable(table, name, switches, place, json);
        }
    }

    place.Stage("writing the relationship properties");
    ShowProgress(host, passCounter, false);
    const int relationCount = database.Relations().Count();
    for (int i = 0; i < relationCount; ++i) {
        place.Object("relationship", i);
        const schema::Relation& relation = database.Relations().Item(i);
        const std::string name = relation.Name();
        place.ObjectName(name);
        ShowProcessing(host, "Processing relationship : " + name);
        json.Relationship(name, RelationRows(relation, switches));
    }

    place.Stage("writing the query properties");
    ShowProgress(host, passCounter, false);
    const int queryCount = database.QueryDefs().Count();
    for (int i = 0; i < queryCount; ++i) {
        place.Object("query", i);
        const schema::QueryDef& query = database.QueryDefs().Item(i);
        const std::string name = query.Name();
        place.ObjectName(name);
        if (host.IsQuerySelected(name)) {
            ShowProcessing(host, "Processing query : " + name);
            AddQuery(query, name, switches, place, json);
        }
    }
    place.Stage("writing the JSON text");
    return json.Text();
}

}  // namespace ostrel::engine
