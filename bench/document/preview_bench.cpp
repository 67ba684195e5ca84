// Runs the report of a real database into the desktop preview window, every
// switch on, and reports what a user waits for and how much memory it takes:
// the time from Start until page 1 is painted, the memory after 3,000 pages
// and at the end of the layout, the time until the last page is laid out,
// then pages through every page as Page Down would and gives the time and
// the peak memory.
//
//   ostrel-bench-preview DATABASE

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "components/jet/jet_engine.h"
#include "engine/locale_formatter.h"
#include "engine/run.h"
#include "ui/preview/page_view.h"
#include "ui/preview/preview_dialog.h"

namespace {

// Resident and peak resident memory in MB, from the kernel.
double ProcMegabytes(const char* key) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key)) {
            return line.mid(static_cast<int>(std::strlen(key)))
                       .trimmed()
                       .split(' ')
                       .front()
                       .toDouble() /
                   1024.0;
        }
    }
    return 0;
}

class AllOn final : public ostrel::engine::ReportSwitches {
  public:
    bool GetReportSwitch(std::string_view /*key*/) const override { return true; }
};

class BenchHost final : public ostrel::engine::RunStatus,
                        public ostrel::engine::RunMessages,
                        public ostrel::engine::Selection {
  public:
    void SetStatusText(int /*panel*/, const std::string& /*text*/) override {}
    void RepaintStatus() override {}
    void ShowMessage(const std::string& text, ostrel::engine::MessageIcon /*icon*/,
                     const std::string& /*caption*/) override {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
    bool IsSelected(ostrel::engine::ObjectKind /*kind*/,
                    const std::string& /*name*/) const override {
        return true;
    }
    // The desktop host's rhythm: let the window paint every 40 ms.
    bool GoOn() override {
        if (!sinceEvents_.isValid() || sinceEvents_.elapsed() >= 40) {
            sinceEvents_.restart();
            QCoreApplication::processEvents();
        }
        return true;
    }
    std::unique_ptr<ostrel::engine::PagedOutput> LoadPreviewWindow();

    QElapsedTimer clock;
    qint64 firstPaintMs = -1;
    qint64 laidOutMs = -1;
    double rssAt3000 = 0;
    double rssAtEnd = 0;
    double rssAt24000 = 0;
    double fileAt3000 = 0;
    double fileAtEnd = 0;
    int pages = 0;

  private:
    QElapsedTimer sinceEvents_;
};

class PaintWatch final : public QObject {
  public:
    explicit PaintWatch(BenchHost& host) : host_(host) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && host_.firstPaintMs < 0) {
            host_.firstPaintMs = host_.clock.elapsed();
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    BenchHost& host_;
};

std::unique_ptr<ostrel::engine::PagedOutput> BenchHost::LoadPreviewWindow() {
    auto window = std::make_unique<ostrel::ui::PreviewDialog>();
    window->ShowWhileLayingOut(true);
    auto* watch = new PaintWatch(*this);
    watch->setParent(window.get());
    window->View()->Sheet()->installEventFilter(watch);
    auto& document = dynamic_cast<ostrel::qtdocument::QtReportDocument&>(window->Document());
    ostrel::ui::PreviewDialog* dialog = window.get();
    document.SetPagesListener([this, dialog](int count, bool ended) {
        // Watched here first, then handed to the window as its own listener would.
        if (count >= 3000 && rssAt3000 == 0) {
            rssAt3000 = ProcMegabytes("VmRSS:");
            fileAt3000 = ProcMegabytes("RssFile:");
        }
        if (count >= 24000 && rssAt24000 == 0) {
            rssAt24000 = ProcMegabytes("VmRSS:");
        }
        if (ended) {
            laidOutMs = clock.elapsed();
            rssAtEnd = ProcMegabytes("VmRSS:");
            fileAtEnd = ProcMegabytes("RssFile:");
            pages = count;
        }
        dialog->PagesLaidOut(count, ended);
    });
    return window;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: ostrel-bench-preview DATABASE\n");
        return 2;
    }
    ostrel::jet::JetEngine jet;
    AllOn switches;
    const auto formatter = ostrel::engine::MakeLocaleFormatter();
    ostrel::engine::Run run(jet, switches, *formatter);
    BenchHost host;
    ostrel::engine::RunRequest request;
    request.databasePath = argv[1];
    request.target = ostrel::engine::ReportTarget::Preview;
    request.pagedOutput = [&host] { return host.LoadPreviewWindow(); };
    ostrel::engine::RunPorts ports{host, host, host};

    qint64 pagingMs = 0;
    double pagingPeak = 0;
    host.clock.start();
    const double rssBefore = ProcMegabytes("VmRSS:");
    auto pageThrough = [&] {
        auto* dialog = qobject_cast<ostrel::ui::PreviewDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return false;
        }
        // OSTREL_BENCH_SHOT=FILE.png: a picture of the window on a found
        // text (OSTREL_BENCH_FIND, "Customer" when not set).
        if (const QByteArray shot = qgetenv("OSTREL_BENCH_SHOT"); !shot.isEmpty()) {
            const QString find =
                qEnvironmentVariable("OSTREL_BENCH_FIND", QStringLiteral("Customer"));
            dialog->ShowFindBar();
            dialog->FindText(find);
            dialog->grab().save(QString::fromLocal8Bit(shot));
        }
        QElapsedTimer paging;
        paging.start();
        QImage image(dialog->View()->Sheet()->size(), QImage::Format_RGB32);
        const int count = dialog->ReportDocument().PageCount();
        for (int page = 1; page <= count; ++page) {
            dialog->GoToPage(page);
            QPainter painter(&image);
            dialog->ReportDocument().RenderPage(page, painter, QRectF(image.rect()));
            if (page % 1000 == 0) {
                pagingPeak = std::max(pagingPeak, ProcMegabytes("VmRSS:"));
            }
        }
        pagingMs = paging.elapsed();
        pagingPeak = std::max(pagingPeak, ProcMegabytes("VmRSS:"));
        dialog->reject();
        return true;
    };
    // When the run shows the window modally, page through it and close it.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (host.laidOutMs >= 0 && pageThrough()) {
            poll.stop();
        }
    });
    poll.start(20);
    const auto outcome = run.Report(request, ports);
    std::printf(
        "outcome %d, %d pages\n"
        "memory before the run %.0f MB\n"
        "page 1 painted after %lld ms\n"
        "memory at 3,000 pages %.0f MB, at 24,000 pages %.0f MB, at the end of the layout %.0f MB\n"
        "  (growth %.0f MB to 24,000 pages, %.0f MB to the end)\n"
        "  of which mapped files (the database, libraries, fonts) %.0f MB and %.0f MB\n"
        "last page laid out after %lld ms\n"
        "paging through every page: %lld ms, memory up to %.0f MB\n"
        "peak memory of the process %.0f MB\n",
        static_cast<int>(outcome), host.pages, rssBefore, static_cast<long long>(host.firstPaintMs),
        host.rssAt3000, host.rssAt24000, host.rssAtEnd, host.rssAt24000 - host.rssAt3000,
        host.rssAtEnd - host.rssAt3000, host.fileAt3000, host.fileAtEnd,
        static_cast<long long>(host.laidOutMs), static_cast<long long>(pagingMs), pagingPeak,
        ProcMegabytes("VmHWM:"));
    return outcome == ostrel::engine::RunOutcome::Finished ? 0 : 1;
}
