#include "components/diagram/scene_font.h"

namespace ostrel::diagram {

QFont SceneFont(bool bold, bool italic) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(static_cast<int>(kFontUnits));
    font.setBold(bold);
    font.setItalic(italic);
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferNoHinting);
    // Any letter spacing (here a third of a hundredth of a point at 8 points)
    // turns ligatures off: "ff" stays two letters, so a
    // PDF's text can be searched for the names it shows.
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1.0 / 32);
    return font;
}

TextMeasure::TextMeasure()
    : metrics_{QFontMetricsF(SceneFont(false, false)), QFontMetricsF(SceneFont(true, false)),
               QFontMetricsF(SceneFont(false, true)), QFontMetricsF(SceneFont(true, true))} {}

const QFontMetricsF& TextMeasure::Metrics(bool bold, bool italic) const {
    return metrics_[(bold ? 1U : 0U) + (italic ? 2U : 0U)];
}

double TextMeasure::Width(const QString& text, double points, bool bold, bool italic) const {
    return Metrics(bold, italic).horizontalAdvance(text) * points / kFontUnits;
}

QString TextMeasure::Elided(const QString& text, double width, double points, bool bold) const {
    return Metrics(bold, false).elidedText(text, Qt::ElideRight, width * kFontUnits / points);
}

}  // namespace ostrel::diagram
