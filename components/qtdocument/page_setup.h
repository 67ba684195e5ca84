#pragma once

#include <QLocale>
#include <QPageSize>
#include <QRectF>
#include <QSizeF>

namespace ostrel::qtdocument {

// Layout coordinates are twips (1/1440 inch), the unit of the column formats.
inline constexpr double kTwipsPerInch = 1440.0;
inline constexpr double kTwipsPerPoint = 20.0;

// The paper a user of this locale keeps in the printer: Letter where the
// locale measures in US units, A4 everywhere else.
QPageSize PaperForLocale(const QLocale& locale);

// Where things go on one page, in twips from the paper's top-left corner.
struct PageGeometry {
    QSizeF paper;                // whole sheet
    QRectF body;                 // paragraphs and tables
    double captionBaseline = 0;  // running caption, inside the top margin

    static PageGeometry ForPaper(const QPageSize& pageSize);
};

}  // namespace ostrel::qtdocument
