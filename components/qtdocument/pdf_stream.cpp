#include "components/qtdocument/pdf_stream.h"

#include <QDir>
#include <QFileInfo>
#include <QMarginsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <map>
#include <stdexcept>
#include <utility>

#include "components/qtdocument/qt_report_document.h"

namespace ostrel::qtdocument {
namespace {

constexpr double kPointsPerTwip = 1.0 / kTwipsPerPoint;

QRectF InPoints(const QRectF& twips) {
    return {twips.x() * kPointsPerTwip, twips.y() * kPointsPerTwip, twips.width() * kPointsPerTwip,
            twips.height() * kPointsPerTwip};
}

// Pages waiting to be drawn at most: enough to keep both threads busy,
// few enough that memory stays flat.
constexpr std::size_t kMostWaiting = 8;

}  // namespace

PdfStream::PdfStream(const QtReportDocument& document, std::string path)
    : document_(document), path_(std::move(path)) {}

PdfStream::~PdfStream() {
    // Dropped unfinished (a cancelled run): the waiting pages are not drawn.
    {
        const std::lock_guard lock(mutex_);
        queue_.clear();
    }
    StopDrawing();
}

void PdfStream::Fail(std::string error) {
    if (!failed_) {
        error_ = std::move(error);
        failed_ = true;
    }
}

bool PdfStream::Open() {
    try {
        file_ = std::make_unique<diagram::OutputFile>(path_);
    } catch (const std::exception& e) {
        Fail(std::string(e.what()) + ".");
        writeFailed_ = true;
        return false;
    }
    // Qt writes the pages; the outline and links are added to its file.
    pages_ = std::make_unique<QTemporaryFile>(file_->Folder() +
                                              QStringLiteral("/.ostrel2-pages-XXXXXX.pdf"));
    if (!pages_->open()) {
        pages_->setFileTemplate(QDir::tempPath() + QStringLiteral("/ostrel2-pages-XXXXXX.pdf"));
        if (!pages_->open()) {
            Fail("Cannot write a temporary file for \"" + path_ + "\".");
            writeFailed_ = true;
            return false;
        }
    }
    drawer_ = std::thread([this] { Draw(); });
    return true;
}

void PdfStream::AddPage(int page, LaidOutPage&& content) {
    if (failed_) {
        return;
    }
    if (handedOver_ == 0 && !Open()) {
        return;
    }
    for (const LaidOutPage::Reference& ref : content.references) {
        links_.push_back({page, InPoints(ref.rect), {}});
        linkTargets_.push_back(ref.kind + '\n' + ref.name);
    }
    Job job{page, std::move(content), document_.Shaper().Keys()};
    std::unique_lock lock(mutex_);
    wake_.wait(lock, [this] { return queue_.size() < kMostWaiting || failed_; });
    queue_.push_back(std::move(job));
    ++handedOver_;
    lock.unlock();
    wake_.notify_all();
}

void PdfStream::Draw() {
    // The writer, the painter and the faces belong to this thread.
    TextShaper shaper;
    QPdfWriter writer(pages_.get());
    writer.setCreator(QString::fromStdString(QtReportDocument::ProgramName()));
    writer.setResolution(static_cast<int>(kTwipsPerInch));
    writer.setPageLayout(
        QPageLayout(document_.Paper(), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    QPainter painter;
    int drawn = 0;
    while (true) {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [this] { return !queue_.empty() || closing_; });
        if (queue_.empty()) {
            break;
        }
        Job job = std::move(queue_.front());
        queue_.pop_front();
        lock.unlock();
        wake_.notify_all();
        if (failed_) {
            continue;  // drained so that the layout never waits for nothing
        }
        if (drawn == 0) {
            if (!painter.begin(&writer)) {
                Fail("Cannot start the PDF writer for \"" + path_ + "\".");
                continue;
            }
            painter.setRenderHint(QPainter::Antialiasing, true);
            painter.setRenderHint(QPainter::TextAntialiasing, true);
        } else if (!writer.newPage()) {
            Fail("Cannot write page " + std::to_string(job.page) + " of \"" + path_ + "\".");
            continue;
        }
        try {
            shaper.Match(job.faces);
            document_.DrawPage(painter, job.content, shaper);
        } catch (const std::exception& e) {
            // Nothing may leave the thread: the failure is the stream's.
            Fail("Cannot draw page " + std::to_string(job.page) + " of \"" + path_ +
                 "\": " + e.what());
        }
        ++drawn;
    }
    if (painter.isActive()) {
        painter.end();
    }
}

void PdfStream::StopDrawing() {
    if (!drawer_.joinable()) {
        return;
    }
    {
        const std::lock_guard lock(mutex_);
        closing_ = true;
    }
    wake_.notify_all();
    drawer_.join();
}

bool PdfStream::Finish(std::string& error) {
    StopDrawing();
    if (handedOver_ == 0) {
        Fail("The report has no pages.");
    }
    if (failed_) {
        error = error_;
        return false;
    }
    pages_->close();

    // The outline: the sections, each holding its objects.
    std::vector<PdfOutlineEntry> outline;
    std::map<std::string, PdfPlace> objects;
    for (const Block& block : document_.Blocks()) {
        const PdfPlace place{block.page, block.top * kPointsPerTwip};
        if (block.section) {
            outline.push_back({block.name, place, {}});
            continue;
        }
        objects.emplace(block.kind + '\n' + block.name, place);
        PdfOutlineEntry entry{block.Title(), place, {}};
        if (outline.empty()) {
            outline.push_back(std::move(entry));
        } else {
            outline.back().children.push_back(std::move(entry));
        }
    }
    // Links only to objects that are in the report.
    std::vector<PdfLink> links;
    for (std::size_t i = 0; i < links_.size(); ++i) {
        const auto found = objects.find(linkTargets_[i]);
        if (found != objects.end()) {
            PdfLink link = links_[i];
            link.target = found->second;
            links.push_back(link);
        }
    }
    PdfInfo info;
    const QString database = document_.DatabaseName();
    info.title = database.isEmpty() ? std::string("Ostrel2 report")
                                    : "Ostrel2 report \u2013 " + database.toStdString();
    info.author = QtReportDocument::ProgramName();
    info.creator = info.author;
    info.created = document_.Started();
    try {
        AddPdfNavigation(pages_->fileName().toStdString(), file_->Device(), outline, links, info);
    } catch (const std::exception& e) {
        error = "Cannot write \"" + path_ + "\": " + e.what();
        writeFailed_ = true;
        return false;
    }
    try {
        file_->Commit();
    } catch (const std::exception& e) {
        error = std::string(e.what()) + ".";
        writeFailed_ = true;
        file_.reset();
        return false;
    }
    file_.reset();
    return true;
}

}  // namespace ostrel::qtdocument
