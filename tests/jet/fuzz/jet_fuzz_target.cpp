// Opens a buffer as a database and reads every member of every object; a
// damaged buffer may only end in SchemaError.

#include <cstddef>
#include <cstdint>
#include <span>

#include "components/jet/jet_engine.h"
#include "components/schema/schema_error.h"

namespace {

using ostrel::schema::SchemaError;

// Runs one read; a refusal (SchemaError) is an acceptable answer.
template <class Read>
void Try(Read read) {
    try {
        read();
    } catch (const SchemaError&) {
    }
}

void WalkTable(const ostrel::schema::TableDef& t) {
    Try([&] {
        (void)t.Name();
        (void)t.SourceTableName();
        (void)t.Attributes();
    });
    Try([&] {
        (void)t.ValidationRule();
        (void)t.ValidationText();
        (void)t.ReplicaFilter();
    });
    Try([&] {
        (void)t.DateCreated();
        (void)t.LastUpdated();
        (void)t.RecordCount();
        (void)t.Updatable();
    });
    Try([&] {
        const auto& fields = t.Fields();
        for (int i = 0; i < fields.Count(); ++i) {
            const auto& f = fields.Item(i);
            (void)f.Name();
            (void)f.ValidationRule();
            (void)f.ValidationText();
            (void)f.Attributes();
            (void)f.AllowZeroLength();
            (void)f.DataUpdatable();
            (void)f.Required();
            (void)f.DefaultValue();
            (void)f.OrdinalPosition();
            (void)f.Type();
            (void)f.Size();
        }
    });
    Try([&] {
        const auto& indexes = t.Indexes();
        for (int i = 0; i < indexes.Count(); ++i) {
            const auto& x = indexes.Item(i);
            (void)x.Name();
            (void)x.Clustered();
            (void)x.Foreign();
            (void)x.IgnoreNulls();
            (void)x.Primary();
            (void)x.Required();
            (void)x.Unique();
            (void)x.DistinctCount();
            (void)x.Fields();
        }
    });
}

void WalkQuery(const ostrel::schema::QueryDef& q) {
    Try([&] {
        (void)q.Name();
        (void)q.Type();
        (void)q.DateCreated();
        (void)q.LastUpdated();
    });
    Try([&] { (void)q.SQL(); });
    Try([&] {
        (void)q.MaxRecords();
        (void)q.ODBCTimeout();
        (void)q.ReturnsRecords();
        (void)q.Updatable();
    });
    Try([&] {
        const auto& parameters = q.Parameters();
        for (int i = 0; i < parameters.Count(); ++i) {
            (void)parameters.Item(i).Name();
            (void)parameters.Item(i).Type();
            (void)parameters.Item(i).Direction();
        }
    });
}

void WalkApplication(const ostrel::schema::Database& db) {
    Try([&] { (void)db.ProjectProblem(); });
    for (const auto* objects : {&db.Forms(), &db.Reports(), &db.Macros()}) {
        for (int i = 0; i < objects->Count(); ++i) {
            const auto& o = objects->Item(i);
            Try([&] {
                (void)o.Name();
                (void)o.DateCreated();
                (void)o.LastUpdated();
                (void)o.HasModule();
                (void)o.MacroXml();
                (void)o.Problem();
            });
        }
    }
    for (int i = 0; i < db.Modules().Count(); ++i) {
        const auto& m = db.Modules().Item(i);
        Try([&] {
            (void)m.Name();
            (void)m.Kind();
            (void)m.Owner();
            (void)m.DateCreated();
            (void)m.CodePage();
            (void)m.LineCount();
            (void)m.Problem();
        });
        Try([&] { (void)m.Source(); });
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::unique_ptr<ostrel::schema::Database> db;
    try {
        db = ostrel::jet::OpenDatabaseFromMemory(std::span<const std::uint8_t>(data, size),
                                                 "fuzz.mdb");
    } catch (const SchemaError&) {
        return 0;
    }
    Try([&] {
        (void)db->CollatingOrder();
        (void)db->Version();
        (void)db->Updatable();
    });
    Try([&] { (void)db->ReplicaID(); });
    Try([&] {
        for (int i = 0; i < db->TableDefs().Count(); ++i)
            WalkTable(db->TableDefs().Item(i));
    });
    Try([&] {
        for (int i = 0; i < db->QueryDefs().Count(); ++i)
            WalkQuery(db->QueryDefs().Item(i));
    });
    Try([&] {
        const auto& relations = db->Relations();
        for (int i = 0; i < relations.Count(); ++i) {
            const auto& r = relations.Item(i);
            (void)r.Name();
            (void)r.Table();
            (void)r.ForeignTable();
            (void)r.Attributes();
            (void)r.PartialReplica();
            for (int j = 0; j < r.Fields().Count(); ++j) {
                (void)r.Fields().Item(j).Name();
                (void)r.Fields().Item(j).ForeignName();
            }
        }
    });
    Try([&] { WalkApplication(*db); });
    db->Close();
    return 0;
}
