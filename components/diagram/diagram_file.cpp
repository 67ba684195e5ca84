#include "components/diagram/diagram_file.h"

#include <QFileInfo>
#include <QImage>
#include <QMarginsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "components/diagram/diagram_pages.h"
#include "components/diagram/output_file.h"
#include "components/diagram/scene_painter.h"
#include "components/diagram/svg_writer.h"
#include "components/document/output_error.h"

namespace ostrel::diagram {
namespace {

// An image file holds every group on one tall page of this width.
constexpr double kImageWidth = 1400;
constexpr double kImageMargin = 12;
// Pixels per point of a PNG, and the largest picture written.
constexpr double kPngPixelsPerPoint = 2;
constexpr double kPngMaxSide = 30000;
constexpr double kPngMaxPixels = 50e6;

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
    const std::string svg = DiagramSvgText(model);
    OutputFile out(path);
    if (out.Device().write(svg.data(), static_cast<qint64>(svg.size())) !=
        static_cast<qint64>(svg.size())) {
        throw document::OutputError(path, out.Device().errorString().toStdString(),
                                    document::OutputError::Stage::Writing);
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
    if (!image.save(&out.Device(), "PNG")) {
        throw document::OutputError(path, out.Device().errorString().toStdString(),
                                    document::OutputError::Stage::Writing);
    }
    out.Commit();
}

std::vector<DiagramPage> PaperPages(const DiagramModel& model, const DiagramPaper& paper) {
    PagePlanOptions options;
    options.area = paper.body.size();
    std::vector<DiagramPage> pages = PlanDiagramPages(model, options);
    if (pages.empty()) {
        throw std::runtime_error("no relationships between the selected tables to draw");
    }
    return pages;
}

void WritePdf(const DiagramModel& model, const std::string& path, const DiagramPaper& paper) {
    const std::vector<DiagramPage> pages = PaperPages(model, paper);
    OutputFile out(path);
    {
        QPdfWriter writer(&out.Device());
        writer.setCreator(QStringLiteral("Ostrel2"));
        writer.setTitle(QStringLiteral("Relationship diagram"));
        writer.setResolution(72);
        writer.setPageLayout(QPageLayout(paper.size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        QPainter painter;
        if (!painter.begin(&writer)) {
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

std::string DiagramSvgText(const DiagramModel& model) {
    return DiagramSvg(ImagePage(model));
}

std::vector<std::string> DiagramSvgPages(const DiagramModel& model) {
    std::vector<std::string> pictures;
    for (const DiagramPage& page : PaperPages(model, DiagramPaper{})) {
        pictures.push_back(DiagramSvg(page));
    }
    return pictures;
}

void WriteDiagramFile(const DiagramModel& model, const std::string& path,
                      const DiagramPaper& paper) {
    const auto format = DiagramFormatOf(path);
    if (!format) {
        throw std::runtime_error("\"" + path +
                                 "\" does not end in .svg, .png or .pdf; the diagram's format "
                                 "is chosen by the file name");
    }
    switch (*format) {
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
