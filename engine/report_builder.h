#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "components/schema/database.h"
#include "engine/report_model.h"
#include "engine/report_switches.h"
#include "engine/writing_place.h"

namespace ostrel::engine {

// The one reading of a database for the report: how many objects of a kind
// it holds, their names, and each object as the report documents it. The
// report walks it in order; the comparison pairs two of them by name. The
// switches are read afresh for every object, and a property whose switch is
// off is not read at all. Forms, reports, macros and modules whose names
// begin with "~" (Access's temporary objects) are left out.
class ReportBuilder {
  public:
    ReportBuilder(const schema::Database& database, const ReportSwitches& switches)
        : database_(database), switches_(switches) {}

    PropertyRows DatabaseProperties() const;
    int Count(ObjectKind kind) const;
    std::string NameAt(ObjectKind kind, int position) const;
    // The object at position, with its rows and members. place follows the
    // members read, so that a failure can say where it happened.
    ReportObject Build(ObjectKind kind, int position, WritingPlace& place) const;

    const schema::Database& Database() const { return database_; }
    const ReportSwitches& Switches() const { return switches_; }

  private:
    ReportObject BuildTable(const schema::TableDef& table, WritingPlace& place) const;
    ReportObject BuildQuery(const schema::QueryDef& query, WritingPlace& place) const;
    ReportObject BuildAccessObject(ObjectKind kind, const schema::AccessObject& item) const;
    ReportObject BuildModule(const schema::VbaModule& module) const;
    // The positions in the database's collection of the application objects
    // of a kind the report documents, found on first use.
    const std::vector<int>& Listed(ObjectKind kind) const;
    const schema::AccessObject& AccessObjectAt(ObjectKind kind, int position) const;

    const schema::Database& database_;
    const ReportSwitches& switches_;
    mutable std::array<std::optional<std::vector<int>>, 4> listed_;
};

}  // namespace ostrel::engine
