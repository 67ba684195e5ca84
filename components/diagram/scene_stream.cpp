#include "components/diagram/scene_stream.h"

#include <QDataStream>
#include <QIODevice>
#include <type_traits>

namespace ostrel::diagram {
namespace {

// Bumped whenever the layout of the bytes changes.
constexpr quint32 kPageFormat = 0x4f440001;
// More items in one list than any page can hold: the bytes are not ours.
constexpr quint32 kMostItems = 1U << 20;

template <typename Enum>
void WriteEnum(QDataStream& out, Enum value) {
    out << static_cast<qint32>(static_cast<std::underlying_type_t<Enum>>(value));
}

template <typename Enum>
void ReadEnum(QDataStream& in, Enum& value) {
    qint32 raw = 0;
    in >> raw;
    value = static_cast<Enum>(raw);
}

template <typename T, typename Write>
void WriteList(QDataStream& out, const std::vector<T>& items, Write write) {
    out << static_cast<quint32>(items.size());
    for (const T& item : items) {
        write(out, item);
    }
}

template <typename T, typename Read>
void ReadList(QDataStream& in, std::vector<T>& items, Read read) {
    quint32 count = 0;
    in >> count;
    if (count > kMostItems) {
        in.setStatus(QDataStream::ReadCorruptData);
        return;
    }
    items.clear();
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        T item{};
        read(in, item);
        items.push_back(std::move(item));
    }
}

void Write(QDataStream& out, const SceneText& text) {
    out << text.baseline << text.text << text.points << text.bold << text.italic;
    WriteEnum(out, text.role);
    WriteEnum(out, text.end);
}

void Read(QDataStream& in, SceneText& text) {
    in >> text.baseline >> text.text >> text.points >> text.bold >> text.italic;
    ReadEnum(in, text.role);
    ReadEnum(in, text.end);
}

void Write(QDataStream& out, const SceneBox& box) {
    out << qint32(box.table) << box.name << box.linked << box.rect << box.rowHeight;
    WriteList(out, box.texts, [](QDataStream& o, const SceneText& t) { Write(o, t); });
    WriteList(out, box.keyRows, [](QDataStream& o, int row) { o << qint32(row); });
    out << qint32(box.hiddenFields);
}

void ReadInt(QDataStream& in, int& value) {
    qint32 raw = 0;
    in >> raw;
    value = raw;
}

void Read(QDataStream& in, SceneBox& box) {
    ReadInt(in, box.table);
    in >> box.name >> box.linked >> box.rect >> box.rowHeight;
    ReadList(in, box.texts, [](QDataStream& i, SceneText& t) { Read(i, t); });
    ReadList(in, box.keyRows, ReadInt);
    ReadInt(in, box.hiddenFields);
}

void Write(QDataStream& out, const SceneLine& line) {
    out << qint32(line.relation) << qint32(line.pair) << line.primaryName << line.foreignName;
    WriteList(out, line.path, [](QDataStream& o, const QPointF& p) { o << p; });
    WriteEnum(out, line.primaryEnd);
    WriteEnum(out, line.foreignEnd);
    out << line.arrowToPrimary << line.arrowToForeign;
    WriteList(out, line.arrows, [](QDataStream& o, const QPolygonF& p) { o << p; });
    WriteList(out, line.texts, [](QDataStream& o, const SceneText& t) { Write(o, t); });
    out << line.continued;
}

void Read(QDataStream& in, SceneLine& line) {
    ReadInt(in, line.relation);
    ReadInt(in, line.pair);
    in >> line.primaryName >> line.foreignName;
    ReadList(in, line.path, [](QDataStream& i, QPointF& p) { i >> p; });
    ReadEnum(in, line.primaryEnd);
    ReadEnum(in, line.foreignEnd);
    in >> line.arrowToPrimary >> line.arrowToForeign;
    ReadList(in, line.arrows, [](QDataStream& i, QPolygonF& p) { i >> p; });
    ReadList(in, line.texts, [](QDataStream& i, SceneText& t) { Read(i, t); });
    in >> line.continued;
}

void Write(QDataStream& out, const SceneStub& stub) {
    out << stub.rect << stub.rowHeight;
    WriteList(out, stub.rows, [](QDataStream& o, const SceneStub::Row& row) {
        o << qint32(row.table) << row.name;
        Write(o, row.text);
    });
}

void Read(QDataStream& in, SceneStub& stub) {
    in >> stub.rect >> stub.rowHeight;
    ReadList(in, stub.rows, [](QDataStream& i, SceneStub::Row& row) {
        ReadInt(i, row.table);
        i >> row.name;
        Read(i, row.text);
    });
}

void Write(QDataStream& out, const PlacedBlock& placed) {
    const DiagramBlock& block = placed.block;
    out << placed.topLeft << block.size << block.scale;
    WriteList(out, block.boxes, [](QDataStream& o, const SceneBox& b) { Write(o, b); });
    WriteList(out, block.lines, [](QDataStream& o, const SceneLine& l) { Write(o, l); });
    WriteList(out, block.stubs, [](QDataStream& o, const SceneStub& s) { Write(o, s); });
    WriteList(out, block.captions, [](QDataStream& o, const SceneText& t) { Write(o, t); });
}

void Read(QDataStream& in, PlacedBlock& placed) {
    DiagramBlock& block = placed.block;
    in >> placed.topLeft >> block.size >> block.scale;
    ReadList(in, block.boxes, [](QDataStream& i, SceneBox& b) { Read(i, b); });
    ReadList(in, block.lines, [](QDataStream& i, SceneLine& l) { Read(i, l); });
    ReadList(in, block.stubs, [](QDataStream& i, SceneStub& s) { Read(i, s); });
    ReadList(in, block.captions, [](QDataStream& i, SceneText& t) { Read(i, t); });
}

}  // namespace

QByteArray SavePage(const DiagramPage& page) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_4);
    out << kPageFormat;
    WriteList(out, page.texts, [](QDataStream& o, const SceneText& t) { Write(o, t); });
    WriteList(out, page.blocks, [](QDataStream& o, const PlacedBlock& b) { Write(o, b); });
    return bytes;
}

std::optional<DiagramPage> LoadPage(const QByteArray& bytes) {
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_4);
    quint32 format = 0;
    in >> format;
    if (format != kPageFormat) {
        return std::nullopt;
    }
    DiagramPage page;
    ReadList(in, page.texts, [](QDataStream& i, SceneText& t) { Read(i, t); });
    ReadList(in, page.blocks, [](QDataStream& i, PlacedBlock& b) { Read(i, b); });
    if (in.status() != QDataStream::Ok || !in.atEnd()) {
        return std::nullopt;
    }
    return page;
}

}  // namespace ostrel::diagram
