// Lays out a large report and writes it as PDF, timing both steps. Run it
// under /usr/bin/time -v for the peak memory.
//
//   ostrel-bench-document [TABLES FIELDS FIELD_ROWS] [PDF_FILE]

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdio>
#include <string>

#include "components/qtdocument/qt_report_document.h"
#include "tests/fixtures/reports/sample_report.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    int tables = 2000;
    int fields = 40;
    int fieldRows = 1;
    if (args.size() >= 4) {
        tables = args[1].toInt();
        fields = args[2].toInt();
        fieldRows = args[3].toInt();
    }
    QTemporaryDir dir;
    const QString pdf = args.size() >= 5 ? args[4] : dir.filePath(QStringLiteral("bench.pdf"));

    QElapsedTimer total;
    total.start();
    ostrel::qtdocument::QtReportDocument doc(QLocale(QLocale::German, QLocale::Germany));
    QElapsedTimer step;
    step.start();
    ostrel::sample::WriteLargeReport(doc, tables, fields, fieldRows);
    const qint64 layoutMs = step.elapsed();

    step.restart();
    std::string error;
    if (!doc.SavePdf(pdf.toStdString(), error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const qint64 pdfMs = step.elapsed();
    std::printf(
        "tables %d, fields %d, rows per field %d: %zu texts placed, %d pages\n"
        "layout %lld ms, PDF %lld ms, total %lld ms\n",
        tables, fields, fieldRows, doc.Placed().size(), doc.PageCount(),
        static_cast<long long>(layoutMs), static_cast<long long>(pdfMs),
        static_cast<long long>(total.elapsed()));
    return 0;
}
