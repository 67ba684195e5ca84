#pragma once

#include <string>

#include "components/schema/database.h"
#include "engine/json_form.h"
#include "engine/report_switches.h"
#include "engine/run_host.h"
#include "engine/writing_place.h"

namespace ostrel::engine {

// The structured report of a database: the same objects and switched
// properties as the CSV report, with typed values. Tables and queries are
// those the host has selected; every relationship is included. Progress and
// the object being read are told as the sections tell them.
std::string JsonReportText(const schema::Database& database, const JsonHeader& header,
                           RunHost& host, const ReportSwitches& switches, WritingPlace& place,
                           int& passCounter);

}  // namespace ostrel::engine
