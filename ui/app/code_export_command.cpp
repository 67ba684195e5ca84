#include "ui/app/code_export_command.h"

#include <exception>
#include <memory>

#include "components/jet/text_decoding.h"
#include "engine/code_export.h"

namespace ostrel::ui {

CodeExportSummary ExportCodeFiles(schema::SchemaEngine& engine, const QString& databasePath,
                                  const QString& folder) {
    try {
        const std::unique_ptr<schema::Database> database =
            engine.OpenDatabase(databasePath.toStdString());
        engine::CodeExportOptions options;
        options.encode = jet::EncodeCodePageText;
        const engine::CodeExportResult result =
            engine::ExportCode(*database, folder.toStdString(), options);
        database->Close();
        QString text =
            QStringLiteral("%1 module files written to %2.").arg(result.written.size()).arg(folder);
        if (result.written.empty() && result.unreadable.empty()) {
            text = QStringLiteral("%1 holds no VBA modules.").arg(databasePath);
        }
        for (const std::string& unreadable : result.unreadable) {
            text += QStringLiteral("\nNot written: %1").arg(QString::fromStdString(unreadable));
        }
        return {text, result.unreadable.empty() ? engine::MessageIcon::None
                                                : engine::MessageIcon::Exclamation};
    } catch (const std::exception& error) {
        return {QStringLiteral("The code of %1 could not be exported:\n%2")
                    .arg(databasePath, QString::fromStdString(error.what())),
                engine::MessageIcon::Critical};
    }
}

}  // namespace ostrel::ui
