// Renders the first pages of a sample report to PNG files so that the look of
// the printed report can be checked by eye, and optionally saves the whole
// report as PDF.
//
//   ostrel-render-pages OUTDIR [--pages N] [--width PIXELS] [--pdf FILE]
//                              [--large TABLES FIELDS ROWS | --engine] [--locale NAME]
//
// Without --large or --engine the sample report is fed to the document call
// by call; --engine runs the report engine itself over the same kind of
// database.

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "components/qtdocument/qt_report_document.h"
#include "tests/fixtures/reports/engine_report.h"
#include "tests/fixtures/reports/sample_report.h"

namespace {

int Usage() {
    std::fprintf(
        stderr,
        "usage: ostrel-render-pages OUTDIR [--pages N] [--width PIXELS] [--pdf FILE]\n"
        "                           [--large TABLES FIELDS ROWS | --engine] [--locale NAME]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() < 2) {
        return Usage();
    }
    const QString& outDir = args[1];
    int pages = 3;
    int width = 1240;
    QString pdf;
    QString localeName;
    int large[3] = {0, 0, 0};
    bool useEngine = false;
    for (qsizetype i = 2; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == "--pages" && i + 1 < args.size()) {
            pages = args[++i].toInt();
        } else if (a == "--width" && i + 1 < args.size()) {
            width = args[++i].toInt();
        } else if (a == "--pdf" && i + 1 < args.size()) {
            pdf = args[++i];
        } else if (a == "--locale" && i + 1 < args.size()) {
            localeName = args[++i];
        } else if (a == "--engine") {
            useEngine = true;
        } else if (a == "--large" && i + 3 < args.size()) {
            for (int& v : large) {
                v = args[++i].toInt();
            }
        } else {
            return Usage();
        }
    }
    if (pages < 0 || width < 50 || width > 10000) {
        return Usage();
    }

    ostrel::qtdocument::QtReportDocument doc(localeName.isEmpty() ? QLocale::system()
                                                                  : QLocale(localeName));
    if (useEngine) {
        std::string error;
        if (!ostrel::sample::WriteEngineReport(doc, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
    } else if (large[0] > 0) {
        ostrel::sample::WriteLargeReport(doc, large[0], large[1], large[2]);
    } else {
        ostrel::sample::WriteOrdersReport(doc);
    }
    std::printf("%d pages\n", doc.PageCount());

    const auto height = static_cast<int>(std::lround(width / doc.PageAspect()));
    for (int page = 1; page <= std::min(pages, doc.PageCount()); ++page) {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        doc.RenderPage(page, painter, QRectF(0, 0, width, height));
        painter.end();
        const QString file = QStringLiteral("%1/page-%2.png").arg(outDir).arg(page);
        if (!image.save(file)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
        std::printf("wrote %s\n", qPrintable(file));
    }
    if (!pdf.isEmpty()) {
        std::string error;
        if (!doc.SavePdf(pdf.toStdString(), error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
        std::printf("wrote %s\n", qPrintable(pdf));
    }
    return 0;
}
