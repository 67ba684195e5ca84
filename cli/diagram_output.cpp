#include "cli/diagram_output.h"

#include <QLocale>

#include "components/diagram/diagram_file.h"
#include "components/qtdocument/page_setup.h"

namespace ostrel::cli {

void WriteDiagramFile(const diagram::DiagramModel& model, const std::string& path) {
    const QPageSize paper = qtdocument::PaperForLocale(QLocale::system());
    const qtdocument::PageGeometry geometry = qtdocument::PageGeometry::ForPaper(paper);
    constexpr double kPointsPerTwip = 1.0 / qtdocument::kTwipsPerPoint;
    const QRectF body(geometry.body.topLeft() * kPointsPerTwip,
                      geometry.body.size() * kPointsPerTwip);
    diagram::WriteDiagramFile(model, path, {paper, body});
}

}  // namespace ostrel::cli
