#pragma once

#include <QString>

#include "components/schema/database.h"
#include "engine/run_ports.h"

namespace ostrel::ui {

// What File > Export Code tells the user afterwards.
struct CodeExportSummary {
    QString text;
    engine::MessageIcon icon = engine::MessageIcon::None;
};

// Writes every VBA module of the database to its own file in folder, in the
// project's code page, as the batch program's --export-code does.
CodeExportSummary ExportCodeFiles(schema::SchemaEngine& engine, const QString& databasePath,
                                  const QString& folder);

}  // namespace ostrel::ui
