#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QString>
#include <array>

namespace ostrel::diagram {

// The diagram's typeface. Text is measured and drawn from a font of 100
// pixels scaled to the size wanted, so that every output (page, image, PDF)
// measures alike whatever its resolution.
inline constexpr double kFontUnits = 100;

QFont SceneFont(bool bold, bool italic);

// Text widths in points, for a given point size.
class TextMeasure {
  public:
    TextMeasure();
    double Width(const QString& text, double points, bool bold = false, bool italic = false) const;
    // The text cut to fit width, ending in an ellipsis when cut.
    QString Elided(const QString& text, double width, double points, bool bold = false) const;

  private:
    const QFontMetricsF& Metrics(bool bold, bool italic) const;
    std::array<QFontMetricsF, 4> metrics_;
};

}  // namespace ostrel::diagram
