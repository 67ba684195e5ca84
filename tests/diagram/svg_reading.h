#pragma once

#include <QPointF>
#include <QRectF>
#include <QString>
#include <map>
#include <string>
#include <vector>

namespace ostrel::diagram::testing {

// What an SVG diagram holds, read back from the file's groups.
struct SvgTable {
    QRectF rect;
    bool linked = false;
    std::vector<std::string> keyFields;
    std::vector<std::string> fields;
    int group = 0;
};

struct SvgLine {
    int relation = 0;
    int pair = 0;
    std::string primary;
    std::string foreign;
    std::string primaryEnd;
    std::string foreignEnd;
    std::string arrow;
    bool continued = false;
    QPointF start;
    QPointF end;
    std::map<std::string, std::string> marks;  // end -> text
    std::vector<QPointF> arrowTips;
    int group = 0;
};

struct SvgStub {
    std::string table;
    std::string label;
    QRectF rect;
    int group = 0;
};

struct SvgDiagram {
    std::multimap<std::string, SvgTable> tables;
    std::vector<SvgLine> lines;
    std::vector<SvgStub> stubs;
    std::vector<double> fontSizes;  // every text's size times its group's scale
    std::vector<std::string> texts;
};

// Reads the file; fails the current test on malformed XML.
SvgDiagram ReadSvg(const std::string& path);

// Distance from a point to the outline of a rectangle.
double DistanceToOutline(const QRectF& rect, const QPointF& point);

}  // namespace ostrel::diagram::testing
