#include "components/diagram/svg_writer.h"

#include <cstdio>

#include "components/diagram/scene_font.h"
#include "components/diagram/scene_painter.h"

namespace ostrel::diagram {
namespace {

constexpr double kMargin = 12;

std::string Num(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", value);
    std::string text(buffer);
    while (text.back() == '0') {
        text.pop_back();
    }
    if (text.back() == '.') {
        text.pop_back();
    }
    return text == "-0" ? "0" : text;
}

// Text for XML content and attribute values; characters XML does not allow
// become the replacement character.
std::string Escaped(const QString& text) {
    std::string out;
    for (const char32_t c : text.toStdU32String()) {
        switch (c) {
            case U'&':
                out += "&amp;";
                continue;
            case U'<':
                out += "&lt;";
                continue;
            case U'>':
                out += "&gt;";
                continue;
            case U'"':
                out += "&quot;";
                continue;
            default:
                break;
        }
        const bool allowed = c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
                             (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
        out += QString::fromUcs4(allowed ? &c : U"\uFFFD", 1).toStdString();
    }
    return out;
}

std::string ColourText(const QColor& colour) {
    return colour.name().toStdString();
}

std::string TextElement(const SceneText& text, const std::string& cls, const QColor& colour,
                        const std::string& extra = {}) {
    std::string out = "<text class=\"" + cls + "\" x=\"" + Num(text.baseline.x()) + "\" y=\"" +
                      Num(text.baseline.y()) + "\" font-size=\"" + Num(text.points) + "\"";
    if (text.bold) {
        out += " font-weight=\"bold\"";
    }
    if (text.italic) {
        out += " font-style=\"italic\"";
    }
    out += " fill=\"" + ColourText(colour) + "\"" + extra + ">" + Escaped(text.text) + "</text>\n";
    return out;
}

const char* EndName(EndMark mark) {
    switch (mark) {
        case EndMark::One:
            return "one";
        case EndMark::Many:
            return "many";
        case EndMark::None:
            break;
    }
    return "none";
}

std::string PathData(const std::vector<QPointF>& points) {
    std::string d;
    if (points.empty()) {
        return d;
    }
    d = "M" + Num(points.front().x()) + "," + Num(points.front().y());
    for (std::size_t i = 1; i + 2 < points.size(); i += 3) {
        d += " C";
        for (std::size_t j = i; j < i + 3; ++j) {
            d += (j == i ? "" : " ") + Num(points[j].x()) + "," + Num(points[j].y());
        }
    }
    return d;
}

std::string LineGroup(const SceneLine& line) {
    std::string arrow;
    if (line.arrowToPrimary) {
        arrow = "primary";
    } else if (line.arrowToForeign) {
        arrow = "foreign";
    }
    std::string out = "<g class=\"relationship\" data-relation=\"" + std::to_string(line.relation) +
                      "\" data-pair=\"" + std::to_string(line.pair) + "\" data-primary=\"" +
                      Escaped(line.primaryName) + "\" data-foreign=\"" + Escaped(line.foreignName) +
                      "\" data-primary-end=\"" + EndName(line.primaryEnd) +
                      "\" data-foreign-end=\"" + EndName(line.foreignEnd) + "\" data-arrow=\"" +
                      arrow + "\"" + (line.continued ? " data-continued=\"true\"" : "") + ">\n";
    out += "<path class=\"line\" d=\"" + PathData(line.path) + "\" fill=\"none\" stroke=\"" +
           ColourText(scene_colour::kLine) + "\" stroke-width=\"0.9\"/>\n";
    for (const QPolygonF& polygon : line.arrows) {
        out += "<polygon class=\"arrow\" points=\"";
        for (int i = 0; i < polygon.size(); ++i) {
            out += (i == 0 ? "" : " ") + Num(polygon[i].x()) + "," + Num(polygon[i].y());
        }
        out += "\" fill=\"" + ColourText(scene_colour::kLine) + "\"/>\n";
    }
    for (const SceneText& text : line.texts) {
        if (text.role == SceneText::Role::Mark) {
            out += TextElement(text, "mark", scene_colour::kLine,
                               std::string(" data-end=\"") +
                                   (text.end == SceneText::End::Primary ? "primary" : "foreign") +
                                   "\"");
        } else {
            out += TextElement(text, "legend", scene_colour::kLegend);
        }
    }
    return out + "</g>\n";
}

std::string BoxGroup(const SceneBox& box) {
    std::string out = "<g class=\"table\" data-name=\"" + Escaped(box.name) + "\"" +
                      (box.linked ? " data-linked=\"true\"" : "") + ">\n";
    const QRectF& r = box.rect;
    out += "<rect class=\"box\" x=\"" + Num(r.x()) + "\" y=\"" + Num(r.y()) + "\" width=\"" +
           Num(r.width()) + "\" height=\"" + Num(r.height()) + "\" fill=\"#ffffff\" stroke=\"" +
           ColourText(scene_colour::kInk) + "\" stroke-width=\"0.8\"" +
           (box.linked ? " stroke-dasharray=\"3,2\"" : "") + "/>\n";
    out += "<rect class=\"title-band\" x=\"" + Num(r.x()) + "\" y=\"" + Num(r.y()) + "\" width=\"" +
           Num(r.width()) + "\" height=\"" + Num(box.rowHeight) + "\" fill=\"" +
           ColourText(scene_colour::kTitleFill) + "\" stroke=\"" + ColourText(scene_colour::kInk) +
           "\" stroke-width=\"0.5\"/>\n";
    for (std::size_t i = 0; i < box.texts.size(); ++i) {
        const SceneText& text = box.texts[i];
        if (i == 0) {
            out += TextElement(text, "title", scene_colour::kInk);
            if (box.linked) {
                SceneText linked = text;
                linked.bold = false;
                linked.italic = true;
                linked.text = QStringLiteral(" (linked)");
                linked.baseline.rx() +=
                    QFontMetricsF(SceneFont(true, false)).horizontalAdvance(text.text) *
                    text.points / kFontUnits;
                out += TextElement(linked, "linked", scene_colour::kLegend);
            }
            continue;
        }
        const bool key = std::find(box.keyRows.begin(), box.keyRows.end(), static_cast<int>(i)) !=
                         box.keyRows.end();
        out += TextElement(text, key ? "field key" : "field", scene_colour::kInk);
        if (key) {
            const double cy = r.top() + box.rowHeight * (static_cast<double>(i) + 0.5);
            const double x = r.left() + 3.5;
            out += "<path class=\"key-symbol\" d=\"M" + Num(x + 3.2) + "," + Num(cy) +
                   " A1.6,1.6 0 1 0 " + Num(x) + "," + Num(cy) + " A1.6,1.6 0 1 0 " + Num(x + 3.2) +
                   "," + Num(cy) + " H" + Num(x + 7.5) + " M" + Num(x + 6.5) + "," + Num(cy) +
                   " v1.8 M" + Num(x + 5) + "," + Num(cy) + " v1.4\" fill=\"none\" stroke=\"" +
                   ColourText(scene_colour::kInk) + "\" stroke-width=\"0.8\"/>\n";
        }
    }
    return out + "</g>\n";
}

std::string StubGroup(const SceneStub& stub) {
    const QRectF& r = stub.rect;
    std::string out = "<g class=\"continued\">\n<rect x=\"" + Num(r.x()) + "\" y=\"" + Num(r.y()) +
                      "\" width=\"" + Num(r.width()) + "\" height=\"" + Num(r.height()) +
                      "\" rx=\"3\" fill=\"#ffffff\" stroke=\"" + ColourText(scene_colour::kLegend) +
                      "\" stroke-width=\"0.6\" stroke-dasharray=\"1,1.5\"/>\n";
    for (const SceneStub::Row& row : stub.rows) {
        out += TextElement(row.text, "continued-label", scene_colour::kLegend,
                           " data-table=\"" + Escaped(row.name) + "\"");
    }
    return out + "</g>\n";
}

}  // namespace

std::string DiagramSvg(const DiagramPage& page) {
    const QSizeF extent = PageExtent(page);
    const double width = extent.width() + 2 * kMargin;
    const double height = extent.height() + 2 * kMargin;
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" + Num(width) +
           "pt\" height=\"" + Num(height) + "pt\" viewBox=\"0 0 " + Num(width) + " " + Num(height) +
           "\" font-family=\"DejaVu Sans, Verdana, sans-serif\">\n";
    out += "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
    out += "<g transform=\"translate(" + Num(kMargin) + "," + Num(kMargin) + ")\">\n";
    for (const SceneText& text : page.texts) {
        out += TextElement(
            text, text.role == SceneText::Role::Heading ? "heading" : "note",
            text.role == SceneText::Role::Heading ? scene_colour::kInk : scene_colour::kLegend);
    }
    for (const PlacedBlock& placed : page.blocks) {
        const DiagramBlock& block = placed.block;
        out += "<g class=\"group\" transform=\"translate(" + Num(placed.topLeft.x()) + "," +
               Num(placed.topLeft.y()) + ") scale(" + Num(block.scale) + ")\">\n";
        for (const SceneText& caption : block.captions) {
            out += TextElement(caption, "caption", scene_colour::kLegend);
        }
        for (const SceneStub& stub : block.stubs) {
            out += StubGroup(stub);
        }
        for (const SceneBox& box : block.boxes) {
            out += BoxGroup(box);
        }
        // Relationships last: their end marks and legends stay visible.
        for (const SceneLine& line : block.lines) {
            out += LineGroup(line);
        }
        out += "</g>\n";
    }
    out += "</g>\n</svg>\n";
    return out;
}

}  // namespace ostrel::diagram
