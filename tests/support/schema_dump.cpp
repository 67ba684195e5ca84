#include "tests/support/schema_dump.h"

#include <sstream>
#include <type_traits>
#include <variant>

namespace ostrel::testsupport {
namespace {

std::string Text(const schema::Variant& v) {
    return std::visit(
        [](const auto& value) -> std::string {
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, std::string>) {
                return value;
            } else if constexpr (std::is_same_v<T, bool> || std::is_same_v<T, std::int64_t> ||
                                 std::is_same_v<T, double>) {
                return std::to_string(value);
            } else if constexpr (std::is_same_v<T, schema::DateTime>) {
                return std::to_string(value.ToOleDate());
            } else {
                return "-";
            }
        },
        v);
}

}  // namespace

std::string DumpSchema(const schema::Database& db) {
    std::ostringstream out;
    out << db.Version() << " " << db.CollatingOrder() << " " << db.ReplicaID() << "\n";
    const auto& tables = db.TableDefs();
    for (int i = 0; i < tables.Count(); ++i) {
        const schema::TableDef& t = tables.Item(i);
        out << "T " << t.Name() << " " << t.Attributes() << " " << t.RecordCount() << " "
            << t.ValidationRule() << " " << Text(t.DateCreated()) << "\n";
        if (const auto problem = t.LinkProblem()) {
            out << " link " << *problem << "\n";
            continue;
        }
        for (int j = 0; j < t.Fields().Count(); ++j) {
            const schema::Field& f = t.Fields().Item(j);
            out << " F " << f.Name() << " " << f.Type() << " " << f.Size() << " " << f.Attributes()
                << " " << f.Required() << " " << Text(f.DefaultValue()) << "\n";
        }
        for (int j = 0; j < t.Indexes().Count(); ++j) {
            const schema::Index& x = t.Indexes().Item(j);
            out << " I " << x.Name() << " " << Text(x.Fields()) << " " << x.Primary() << x.Unique()
                << " " << x.DistinctCount() << "\n";
        }
    }
    const auto& relations = db.Relations();
    for (int i = 0; i < relations.Count(); ++i) {
        const schema::Relation& r = relations.Item(i);
        out << "R " << r.Name() << " " << r.Table() << " " << r.ForeignTable() << " "
            << r.Attributes() << "\n";
    }
    const auto& queries = db.QueryDefs();
    for (int i = 0; i < queries.Count(); ++i) {
        const schema::QueryDef& q = queries.Item(i);
        out << "Q " << q.Name() << " " << q.Type() << " " << q.SQL() << " "
            << q.Parameters().Count() << "\n";
    }
    return out.str();
}

}  // namespace ostrel::testsupport
