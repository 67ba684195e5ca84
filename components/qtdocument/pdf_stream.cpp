#include "components/qtdocument/pdf_stream.h"

#include <QDir>
#include <QFileInfo>
#include <QMarginsF>
#include <QPageLayout>
#include <map>
#include <stdexcept>

#include "components/qtdocument/qt_report_document.h"

namespace ostrel::qtdocument {
namespace {

constexpr double kPointsPerTwip = 1.0 / kTwipsPerPoint;

QRectF InPoints(const QRectF& twips) {
    return {twips.x() * kPointsPerTwip, twips.y() * kPointsPerTwip, twips.width() * kPointsPerTwip,
            twips.height() * kPointsPerTwip};
}

}  // namespace

PdfStream::PdfStream(const QtReportDocument& document, std::string path)
    : document_(document), path_(std::move(path)) {}

PdfStream::~PdfStream() {
    if (painter_.isActive()) {
        painter_.end();
    }
    if (file_) {
        file_->cancelWriting();
    }
}

bool PdfStream::Open() {
    file_ = std::make_unique<QSaveFile>(QString::fromStdString(path_));
    if (!file_->open(QIODevice::WriteOnly)) {
        error_ = "Cannot write \"" + path_ + "\": " + file_->errorString().toStdString();
        return false;
    }
    // Qt writes the pages; the outline and links are added to its file.
    pages_ = std::make_unique<QTemporaryFile>(QFileInfo(file_->fileName()).absolutePath() +
                                              QStringLiteral("/.ostrel2-pages-XXXXXX.pdf"));
    if (!pages_->open()) {
        pages_->setFileTemplate(QDir::tempPath() + QStringLiteral("/ostrel2-pages-XXXXXX.pdf"));
        if (!pages_->open()) {
            error_ = "Cannot write a temporary file for \"" + path_ + "\".";
            return false;
        }
    }
    writer_ = std::make_unique<QPdfWriter>(pages_.get());
    writer_->setCreator(QString::fromStdString(QtReportDocument::ProgramName()));
    writer_->setResolution(static_cast<int>(kTwipsPerInch));
    writer_->setPageLayout(
        QPageLayout(document_.Paper(), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    if (!painter_.begin(writer_.get())) {
        error_ = "Cannot start the PDF writer for \"" + path_ + "\".";
        return false;
    }
    painter_.setRenderHint(QPainter::Antialiasing, true);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
    return true;
}

void PdfStream::AddPage(int page, const LaidOutPage& content) {
    if (failed_) {
        return;
    }
    if (written_ == 0 && !Open()) {
        failed_ = true;
        return;
    }
    if (written_ > 0 && !writer_->newPage()) {
        error_ = "Cannot write page " + std::to_string(page) + " of \"" + path_ + "\".";
        failed_ = true;
        return;
    }
    document_.DrawPage(painter_, content);
    for (const LaidOutPage::Reference& ref : content.references) {
        links_.push_back({page, InPoints(ref.rect), {}});
        linkTargets_.push_back(ref.kind + '\n' + ref.name);
    }
    ++written_;
}

bool PdfStream::Finish(std::string& error) {
    if (!failed_ && written_ == 0) {
        error_ = "The report has no pages.";
        failed_ = true;
    }
    if (painter_.isActive()) {
        painter_.end();
    }
    writer_.reset();
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
        AddPdfNavigation(pages_->fileName().toStdString(), *file_, outline, links, info);
    } catch (const std::exception& e) {
        error = "Cannot write \"" + path_ + "\": " + e.what();
        return false;
    }
    if (!file_->commit()) {
        error = "Cannot write \"" + path_ + "\": " + file_->errorString().toStdString();
        file_.reset();
        return false;
    }
    file_.reset();
    return true;
}

}  // namespace ostrel::qtdocument
