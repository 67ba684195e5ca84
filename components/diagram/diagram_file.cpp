#include "components/diagram/diagram_file.h"

#include <QImage>
#include <QMarginsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "components/diagram/diagram_pages.h"
#include "components/diagram/scene_painter.h"
#include "components/diagram/svg_writer.h"

namespace ostrel::diagram {
namespace {

// An image file holds every group on one tall page of this width.
constexpr double kImageWidth = 1400;
constexpr double kImageMargin = 12;
// Pixels per point of a PNG, and the largest picture written.
constexpr double kPngPixelsPerPoint = 2;
constexpr double kPngMaxSide = 30000;
constexpr double kPngMaxPixels = 50e6;

class OutputFile {
  public:
    explicit OutputFile(const std::string& path)
        : path_(path), file_(QString::fromStdString(path)) {
        if (!file_.open(QIODevice::WriteOnly)) {
            throw std::runtime_error("cannot write \"" + path +
                                     "\": " + file_.errorString().toStdString());
        }
    }
    QSaveFile& File() { return file_; }
    void Commit() {
        if (!file_.commit()) {
            throw std::runtime_error("cannot write \"" + path_ +
                                     "\": " + file_.errorString().toStdString());
        }
    }

  private:
    std::string path_;
    QSaveFile file_;
};

DiagramPage ImagePage(const DiagramModel& model) {
    PagePlanOptions options;
    options.area = QSizeF(kImageWidth, kImageWidth * 1.5);
    options.onePage = true;
    std::vector<DiagramPage> pages = PlanDiagramPages(model, options);
    if (pages.empty()) {
        throw std::runtime_error("no relationships between the selected tables to draw");
    }
    return std::move(pages.front());
}

void WriteSvg(const DiagramModel& model, const std::string& path) {
    const std::string svg = DiagramSvg(ImagePage(model));
    OutputFile out(path);
    if (out.File().write(svg.data(), static_cast<qint64>(svg.size())) !=
        static_cast<qint64>(svg.size())) {
        out.File().cancelWriting();
        throw std::runtime_error("cannot write \"" + path + "\"");
    }
    out.Commit();
}

void WritePng(const DiagramModel& model, const std::string& path) {
    const DiagramPage page = ImagePage(model);
    const QSizeF extent = PageExtent(page) + QSizeF(2 * kImageMargin, 2 * kImageMargin);
    double scale = kPngPixelsPerPoint;
    scale = std::min(scale, kPngMaxSide / std::max(extent.width(), extent.height()));
    scale = std::min(scale, std::sqrt(kPngMaxPixels / (extent.width() * extent.height())));
    QImage image(std::max(1, static_cast<int>(std::ceil(extent.width() * scale))),
                 std::max(1, static_cast<int>(std::ceil(extent.height() * scale))),
                 QImage::Format_RGB32);
    if (image.isNull()) {
        throw std::runtime_error("not enough memory for a picture of the diagram");
    }
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.scale(scale, scale);
        painter.translate(kImageMargin, kImageMargin);
        PaintDiagramPage(painter, page);
    }
    OutputFile out(path);
    if (!image.save(&out.File(), "PNG")) {
        out.File().cancelWriting();
        throw std::runtime_error("cannot write \"" + path + "\" as PNG");
    }
    out.Commit();
}

void WritePdf(const DiagramModel& model, const std::string& path, const DiagramPaper& paper) {
    PagePlanOptions options;
    options.area = paper.body.size();
    const std::vector<DiagramPage> pages = PlanDiagramPages(model, options);
    if (pages.empty()) {
        throw std::runtime_error("no relationships between the selected tables to draw");
    }
    OutputFile out(path);
    {
        QPdfWriter writer(&out.File());
        writer.setCreator(QStringLiteral("Ostrel2"));
        writer.setTitle(QStringLiteral("Relationship diagram"));
        writer.setResolution(72);
        writer.setPageLayout(QPageLayout(paper.size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        QPainter painter;
        if (!painter.begin(&writer)) {
            out.File().cancelWriting();
            throw std::runtime_error("cannot start the PDF writer for \"" + path + "\"");
        }
        for (std::size_t i = 0; i < pages.size(); ++i) {
            if (i > 0) {
                writer.newPage();
            }
            painter.save();
            painter.translate(paper.body.topLeft());
            PaintDiagramPage(painter, pages[i]);
            painter.restore();
        }
        painter.end();
    }
    out.Commit();
}

}  // namespace

bool DiagramFormatOf(const std::string& path, DiagramFormat& format) {
    const QString name = QString::fromStdString(path).toLower();
    if (name.endsWith(QStringLiteral(".svg"))) {
        format = DiagramFormat::Svg;
    } else if (name.endsWith(QStringLiteral(".png"))) {
        format = DiagramFormat::Png;
    } else if (name.endsWith(QStringLiteral(".pdf"))) {
        format = DiagramFormat::Pdf;
    } else {
        return false;
    }
    return true;
}

void WriteDiagramFile(const DiagramModel& model, const std::string& path,
                      const DiagramPaper& paper) {
    DiagramFormat format = DiagramFormat::Svg;
    if (!DiagramFormatOf(path, format)) {
        throw std::runtime_error("\"" + path +
                                 "\" does not end in .svg, .png or .pdf; the diagram's format "
                                 "is chosen by the file name");
    }
    switch (format) {
        case DiagramFormat::Svg:
            WriteSvg(model, path);
            break;
        case DiagramFormat::Png:
            WritePng(model, path);
            break;
        case DiagramFormat::Pdf:
            WritePdf(model, path, paper);
            break;
    }
}

}  // namespace ostrel::diagram
