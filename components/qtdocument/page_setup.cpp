#include "components/qtdocument/page_setup.h"

namespace ostrel::qtdocument {
namespace {

// About 2 cm on every side.
constexpr double kMarginTwips = 2.0 / 2.54 * kTwipsPerInch;
// The caption sits in the top margin, a little above the body.
constexpr double kCaptionGapTwips = 0.6 / 2.54 * kTwipsPerInch;

}  // namespace

QPageSize PaperForLocale(const QLocale& locale) {
    if (locale.measurementSystem() == QLocale::ImperialUSSystem) {
        return QPageSize{QPageSize::Letter};
    }
    return QPageSize{QPageSize::A4};
}

PageGeometry PageGeometry::ForPaper(const QPageSize& pageSize) {
    PageGeometry g;
    const QSizeF points = pageSize.size(QPageSize::Point);
    g.paper = QSizeF(points.width() * kTwipsPerPoint, points.height() * kTwipsPerPoint);
    g.body = QRectF(kMarginTwips, kMarginTwips, g.paper.width() - 2 * kMarginTwips,
                    g.paper.height() - 2 * kMarginTwips);
    g.captionBaseline = kMarginTwips - kCaptionGapTwips;
    return g;
}

}  // namespace ostrel::qtdocument
