#include "engine/json_report.h"

#include "engine/progress.h"
#include "engine/property_rows.h"

namespace ostrel::engine {
namespace {

void ShowProcessing(RunHost& host, const std::string& text) {
    host.SetStatusText(2, text);
    host.RepaintStatus();
}

// "name": {"properties": {...}} for a member, written into an open object.
template <class T, class RowsOf>
void Members(const schema::Collection<T>& members, const char* kind, RowsOf rowsOf,
             const ReportSwitches& switches, WritingPlace& place, JsonStream& json) {
    json.BeginObject();
    const int count = members.Count();
    for (int i = 0; i < count; ++i) {
        place.Member(kind, i);
        const T& member = members.Item(i);
        const std::string name = member.Name();
        place.MemberName(name);
        json.Key(name);
        json.BeginObject();
        json.Key("properties");
        json.Properties(rowsOf(member, switches));
        json.EndObject();
    }
    json.EndObject();
    place.ClearMember();
}

}  // namespace

std::string JsonReportText(const schema::Database& database, const JsonHeader& header,
                           RunHost& host, const ReportSwitches& switches, WritingPlace& place,
                           int& passCounter) {
    std::string text;
    JsonStream json(text);
    json.BeginObject();
    json.Header("ostrel2-report", kJsonReportVersion, header);

    place.Stage("writing the database properties");
    ShowProgress(host, passCounter, false);
    ShowProcessing(host, "Processing database");
    json.Key("database");
    json.BeginObject();
    json.Key("path");
    json.Text(host.DatabasePath());
    json.Key("properties");
    json.Properties(DatabaseRows(database, switches));
    json.EndObject();

    place.Stage("writing the table properties");
    ShowProgress(host, passCounter, false);
    json.Key("tables");
    json.BeginObject();
    const int tableCount = database.TableDefs().Count();
    for (int i = 0; i < tableCount; ++i) {
        place.Object("table", i);
        const schema::TableDef& table = database.TableDefs().Item(i);
        const std::string name = table.Name();
        place.ObjectName(name);
        if (!host.IsTableSelected(name)) {
            continue;
        }
        ShowProcessing(host, "Processing table : " + name);
        json.Key(name);
        json.BeginObject();
        json.Key("properties");
        json.Properties(TableRows(table, switches));
        if (const auto problem = table.LinkProblem()) {
            host.Warn(name + ": " + *problem);
            // A linked table whose source cannot be read: why, in place of
            // the fields and indexes.
            json.Key("fields");
            json.BeginObject();
            json.EndObject();
            json.Key("indexes");
            json.BeginObject();
            json.EndObject();
            json.Key("fieldsNotListed");
            json.Text(*problem);
        } else {
            json.Key("fields");
            Members(table.Fields(), "field", FieldRows, switches, place, json);
            json.Key("indexes");
            Members(table.Indexes(), "index", IndexRows, switches, place, json);
        }
        json.EndObject();
    }
    json.EndObject();

    place.Stage("writing the relationship properties");
    ShowProgress(host, passCounter, false);
    json.Key("relationships");
    json.BeginObject();
    const int relationCount = database.Relations().Count();
    for (int i = 0; i < relationCount; ++i) {
        place.Object("relationship", i);
        const schema::Relation& relation = database.Relations().Item(i);
        const std::string name = relation.Name();
        place.ObjectName(name);
        ShowProcessing(host, "Processing relationship : " + name);
        json.Key(name);
        json.BeginObject();
        json.Key("properties");
        json.Properties(RelationRows(relation, switches));
        json.EndObject();
    }
    json.EndObject();

    place.Stage("writing the query properties");
    ShowProgress(host, passCounter, false);
    json.Key("queries");
    json.BeginObject();
    const int queryCount = database.QueryDefs().Count();
    for (int i = 0; i < queryCount; ++i) {
        place.Object("query", i);
        const schema::QueryDef& query = database.QueryDefs().Item(i);
        const std::string name = query.Name();
        place.ObjectName(name);
        if (!host.IsQuerySelected(name)) {
            continue;
        }
        ShowProcessing(host, "Processing query : " + name);
        json.Key(name);
        json.BeginObject();
        json.Key("properties");
        json.Properties(QueryRows(query, switches));
        json.Key("parameters");
        Members(query.Parameters(), "parameter", ParameterRows, switches, place, json);
        json.EndObject();
    }
    json.EndObject();
    json.EndObject();
    return text;
}

}  // namespace ostrel::engine
