#include "document_fixture.h"

#include <QProcess>

namespace ostrel::qtdocument::testing {

QStringList LinesOnPage(const QtReportDocument& doc, int page) {
    QStringList lines;
    for (const LaidOutPage::Text& text : doc.PageAt(page).texts) {
        lines << text.line.text;
    }
    return lines;
}

QString RunTool(const QString& program, const QStringList& args, bool* found) {
    QProcess process;
    process.start(program, args);
    const bool started = process.waitForStarted(10000);
    if (found != nullptr) {
        *found = started;
    }
    if (!started) {
        return {};
    }
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

}  // namespace ostrel::qtdocument::testing
