#include "components/qtdocument/page_printer.h"

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>
#include <stdexcept>

#include "components/qtdocument/qt_report_document.h"

namespace ostrel::qtdocument {
namespace {

// Pages laid out between two calls of the progress: enough to keep the job
// fast, few enough that a window showing the progress answers at once.
constexpr int kPagesPerStep = 16;

std::string PrinterName(const QPrinter& printer) {
    return (printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName()
                                                          : printer.printerName())
        .toStdString();
}

}  // namespace

bool PrintPages(const QtReportDocument& document, QPrinter& printer,
                const PrintProgress& progress) {
    const int count = document.PageCount();
    if (count == 0) {
        throw std::runtime_error("The report has no pages to print.");
    }
    int from = printer.fromPage();
    int to = printer.toPage();
    if (printer.printRange() != QPrinter::PageRange || from <= 0) {
        from = 1;
        to = count;
    }
    from = std::clamp(from, 1, count);
    to = std::clamp(to <= 0 ? count : to, from, count);

    printer.setFullPage(true);
    QPainter painter;
    if (!painter.begin(&printer)) {
        throw std::runtime_error("The printer \"" + PrinterName(printer) +
                                 "\" could not be started.");
    }
    // Fit the sheet into the printer's paper, keeping its proportions.
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    const QSizeF sheet = document.Geometry().paper;
    const double scale = std::min(paper.width() / sheet.width(), paper.height() / sheet.height());
    bool failed = false;
    for (int first = from; first <= to && !failed; first += kPagesPerStep) {
        const int last = std::min(first + kPagesPerStep - 1, to);
        document.LayOutPages(first, last, [&](int page, LaidOutPage& content) {
            if (failed || (page > from && !printer.newPage())) {
                failed = true;
                return;
            }
            painter.save();
            painter.scale(scale, scale);
            document.DrawPage(painter, content);
            painter.restore();
        });
        if (!failed && progress && !progress(last - from + 1, to - from + 1)) {
            printer.abort();
            painter.end();
            return false;
        }
    }
    if (!painter.end() || failed || printer.printerState() == QPrinter::Error) {
        throw std::runtime_error("The printer stopped with an error.");
    }
    return true;
}

void PrintOnDefaultPrinter(const QtReportDocument& document) {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        throw std::runtime_error("No printer is installed.");
    }
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setPageSize(document.Paper());
    PrintPages(document, printer);
}

}  // namespace ostrel::qtdocument
