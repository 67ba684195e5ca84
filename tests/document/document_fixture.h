#pragma once

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "components/qtdocument/qt_report_document.h"

namespace ostrel::qtdocument::testing {

// Every paragraph and cell text that the calls of `write` hand to a document,
// in order: the same calls recorded, with the tables split as the document
// splits them.
template <typename Write>
std::vector<std::string> HandedTexts(Write write);

// The lines the layout drew on one page, captions included, in drawing order.
QStringList LinesOnPage(const QtReportDocument& doc, int page);

// Runs a program and returns its standard output; empty when it is missing.
QString RunTool(const QString& program, const QStringList& args, bool* found = nullptr);

}  // namespace ostrel::qtdocument::testing

#include "components/document/table_data.h"
#include "tests/support/recording_document.h"

namespace ostrel::qtdocument::testing {

template <typename Write>
std::vector<std::string> HandedTexts(Write write) {
    document::RecordingDocument recorder;
    write(recorder);
    std::vector<std::string> texts;
    const std::string paragraph = "AddParagraph(";
    const std::string table = "AddTable(";
    for (const std::string& call : recorder.Calls()) {
        if (call.rfind(paragraph, 0) == 0) {
            texts.push_back(call.substr(paragraph.size(), call.size() - paragraph.size() - 1));
        } else if (call.rfind(table, 0) == 0) {
            const document::TableData t =
                document::ParseTableText(call.substr(table.size(), call.size() - table.size() - 1));
            for (const auto& row : t.rows) {
                texts.insert(texts.end(), row.begin(), row.end());
            }
        }
    }
    return texts;
}

}  // namespace ostrel::qtdocument::testing
