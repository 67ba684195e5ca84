#include "cli/pdf_output.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "components/document/output_error.h"

namespace ostrel::cli {
namespace {

// Qt's own notes about the environment (no runtime folder, font fallbacks)
// mean nothing to a user of the batch program; only its errors are shown.
void QtMessages(QtMsgType type, const QMessageLogContext& /*context*/, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::fprintf(stderr, "ostrel2-report: %s\n", message.toLocal8Bit().constData());
    }
}

}  // namespace

PdfOutput::PdfOutput(std::string pdfPath)
    : pdfPath_(std::move(pdfPath)), stream_(document_, pdfPath_) {
    document_.SetLayoutSink([this](int page, qtdocument::LaidOutPage& content) {
        stream_.AddPage(page, std::move(content));
    });
}

void PdfOutput::Complete(int /*pages*/) {
    std::string error;
    if (!stream_.Finish(error)) {
        if (stream_.WriteFailed()) {
            throw document::OutputError(pdfPath_, error);
        }
        throw std::runtime_error("cannot save the PDF file '" + pdfPath_ + "': " + error);
    }
}

void EnsureGuiApplication() {
    if (QGuiApplication::instance() != nullptr) {
        return;
    }
    const auto unset = [](const char* name) {
        const char* value = std::getenv(name);  // NOLINT(concurrency-mt-unsafe): before any thread
        return value == nullptr || *value == '\0';
    };
    if (unset("QT_QPA_PLATFORM") && unset("DISPLAY") && unset("WAYLAND_DISPLAY")) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);  // NOLINT(concurrency-mt-unsafe)
    }
    qInstallMessageHandler(QtMessages);
    static int argc = 1;
    static char name[] = "ostrel2-report";
    static char* argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv);
}

}  // namespace ostrel::cli
