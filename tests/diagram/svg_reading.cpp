#include "tests/diagram/svg_reading.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>

namespace ostrel::diagram::testing {
namespace {

std::string Attr(const QXmlStreamReader& xml, const char* name) {
    return xml.attributes().value(QString::fromLatin1(name)).toString().toStdString();
}

double Number(const QXmlStreamReader& xml, const char* name) {
    return xml.attributes().value(QString::fromLatin1(name)).toDouble();
}

std::vector<QPointF> Points(const QString& text) {
    std::vector<QPointF> points;
    static const QRegularExpression pair(QStringLiteral("(-?[0-9.]+),(-?[0-9.]+)"));
    auto it = pair.globalMatch(text);
    while (it.hasNext()) {
        const auto match = it.next();
        points.emplace_back(match.captured(1).toDouble(), match.captured(2).toDouble());
    }
    return points;
}

double ScaleOf(const QString& transform) {
    static const QRegularExpression scale(QStringLiteral("scale\\(([0-9.]+)\\)"));
    const auto match = scale.match(transform);
    return match.hasMatch() ? match.captured(1).toDouble() : 1.0;
}

}  // namespace

SvgDiagram ReadSvg(const std::string& path) {
    SvgDiagram diagram;
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot open " << path;
        return diagram;
    }
    QXmlStreamReader xml(&file);
    int group = 0;
    double scale = 1;
    enum class In { None, Table, Line, Stub } in = In::None;
    SvgTable table;
    std::string tableName;
    SvgLine line;
    SvgStub stub;
    std::vector<std::string> open;  // classes of the groups the reader is in
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == QLatin1String("g")) {
            const std::string closed = open.empty() ? std::string() : open.back();
            if (!open.empty()) {
                open.pop_back();
            }
            if (closed == "group") {
                scale = 1;
                continue;
            }
            if (in == In::Table) {
                diagram.tables.emplace(tableName, table);
            } else if (in == In::Line) {
                diagram.lines.push_back(line);
            }
            in = In::None;
            continue;
        }
        if (!xml.isStartElement()) {
            continue;
        }
        const QStringView name = xml.name();
        const std::string cls = Attr(xml, "class");
        if (name == QLatin1String("g")) {
            open.push_back(cls);
            if (cls == "group") {
                ++group;
                scale = ScaleOf(xml.attributes().value(QStringLiteral("transform")).toString());
            } else if (cls == "table") {
                in = In::Table;
                table = SvgTable{};
                table.group = group;
                tableName = Attr(xml, "data-name");
                table.linked = Attr(xml, "data-linked") == "true";
            } else if (cls == "relationship") {
                in = In::Line;
                line = SvgLine{};
                line.group = group;
                line.relation = std::stoi(Attr(xml, "data-relation"));
                line.pair = std::stoi(Attr(xml, "data-pair"));
                line.primary = Attr(xml, "data-primary");
                line.foreign = Attr(xml, "data-foreign");
                line.primaryEnd = Attr(xml, "data-primary-end");
                line.foreignEnd = Attr(xml, "data-foreign-end");
                line.arrow = Attr(xml, "data-arrow");
                line.continued = Attr(xml, "data-continued") == "true";
            } else if (cls == "continued") {
                in = In::Stub;
                stub = SvgStub{};
                stub.group = group;
            }
        } else if (name == QLatin1String("rect")) {
            const QRectF rect(Number(xml, "x"), Number(xml, "y"), Number(xml, "width"),
                              Number(xml, "height"));
            if (in == In::Table && cls == "box") {
                table.rect = rect;
            } else if (in == In::Stub) {
                stub.rect = rect;
            }
        } else if (name == QLatin1String("path") && in == In::Line && cls == "line") {
            const auto points = Points(xml.attributes().value(QStringLiteral("d")).toString());
            if (!points.empty()) {
                line.start = points.front();
                line.end = points.back();
            }
        } else if (name == QLatin1String("polygon") && in == In::Line) {
            const auto points = Points(xml.attributes().value(QStringLiteral("points")).toString());
            if (!points.empty()) {
                line.arrowTips.push_back(points.front());
            }
        } else if (name == QLatin1String("text")) {
            const std::string end = Attr(xml, "data-end");
            const std::string labelled = Attr(xml, "data-table");
            const double size = Number(xml, "font-size");
            const std::string text = xml.readElementText().toStdString();
            diagram.fontSizes.push_back(size * scale);
            diagram.texts.push_back(text);
            if (in == In::Table && cls == "field key") {
                table.keyFields.push_back(text);
            }
            if (in == In::Table && cls.starts_with("field")) {
                table.fields.push_back(text);
            }
            if (in == In::Line && cls == "mark") {
                line.marks[end] = text;
            }
            if (in == In::Stub) {
                // One entry per row, each with the label's outline.
                SvgStub row = stub;
                row.table = labelled;
                row.label = text;
                diagram.stubs.push_back(row);
            }
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return diagram;
}

double DistanceToOutline(const QRectF& rect, const QPointF& p) {
    const double dx = std::max({rect.left() - p.x(), 0.0, p.x() - rect.right()});
    const double dy = std::max({rect.top() - p.y(), 0.0, p.y() - rect.bottom()});
    if (dx > 0 || dy > 0) {
        return std::hypot(dx, dy);
    }
    return std::min(
        {p.x() - rect.left(), rect.right() - p.x(), p.y() - rect.top(), rect.bottom() - p.y()});
}

}  // namespace ostrel::diagram::testing
