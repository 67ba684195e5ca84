#pragma once

#include <string_view>

#include "engine/progress.h"
#include "engine/property_rows.h"
#include "engine/report_switches.h"
#include "engine/report_writer.h"
#include "engine/run_host.h"
#include "engine/value_formatter.h"
#include "engine/writing_place.h"

namespace ostrel::engine {

// What every section writer works with during one run.
struct SectionContext {
    RunHost& host;
    const ReportSwitches& switches;
    const ValueFormatter& formatter;
    ReportWriter& writer;
    int& passCounter;
    WritingPlace& place;

    bool SwitchOn(std::string_view key) const { return switches.GetReportSwitch(key); }
    // Appends the rows as (indent), label, value rows; returns whether there
    // were any.
    bool AppendRows(TableText& text, const PropertyRows& rows) const {
        for (const PropertyRow& row : rows) {
            text.AppendRow(row.Label(), RowText(row, formatter, writer.RowSeparator()));
        }
        return !rows.empty();
    }
    void AdvancePass() {
        ShowProgress(host, passCounter, false);
        AskToGoOn(host);
    }
    // Called for every object, so the host is asked here whether to go on.
    void ShowProcessing(const std::string& text) {
        host.SetStatusText(2, text);
        host.RepaintStatus();
        AskToGoOn(host);
    }
};

}  // namespace ostrel::engine
