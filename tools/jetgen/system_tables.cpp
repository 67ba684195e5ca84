#include "tools/jetgen/system_tables.h"

#include <utility>

namespace ostrel::jetgen {

namespace {

ColumnDescription Column(std::string name, ColumnType type, int size = 0) {
    ColumnDescription c;
    c.name = std::move(name);
    c.type = type;
    c.size = size;
    return c;
}

Cell TextOrNull(const std::string& s) {
    return s.empty() ? Cell::Null() : Cell::Text(s);
}

Row QueryRow(std::int32_t id, int attribute, const std::string& name1 = {},
             const std::string& name2 = {}, const std::string& expression = {},
             Cell flag = Cell::Null(), Cell extra = Cell::Null()) {
    return Row{Cell::Int(id),     Cell::Int(attribute),   Cell::Null(),    TextOrNull(name1),
               TextOrNull(name2), TextOrNull(expression), std::move(flag), std::move(extra)};
}

constexpr int kAttrStart = 0;
constexpr int kAttrType = 1;
constexpr int kAttrParameter = 2;
constexpr int kAttrFlag = 3;
constexpr int kAttrTable = 5;
constexpr int kAttrColumn = 6;
constexpr int kAttrJoin = 7;
constexpr int kAttrWhere = 8;
constexpr int kAttrGroupBy = 9;
constexpr int kAttrHaving = 10;
constexpr int kAttrOrderBy = 11;
constexpr int kAttrEnd = 255;

constexpr int kSelectStar = 0x01;
constexpr int kSelectDistinct = 0x02;
constexpr int kSelectOwnerAccess = 0x04;
constexpr int kSelectDistinctRow = 0x08;
constexpr int kSelectTop = 0x10;
constexpr int kSelectPercent = 0x20;
constexpr int kUnionDistinct = 0x02;

}  // namespace

std::vector<ColumnDescription> MSysObjectsColumns() {
    return {Column("Id", ColumnType::Long),
            Column("ParentId", ColumnType::Long),
            Column("Name", ColumnType::Text, 255),
            Column("Type", ColumnType::Integer),
            Column("DateCreate", ColumnType::DateTime),
            Column("DateUpdate", ColumnType::DateTime),
            Column("Owner", ColumnType::Binary, 510),
            Column("Flags", ColumnType::Long),
            Column("Database", ColumnType::Memo),
            Column("Connect", ColumnType::Memo),
            Column("ForeignName", ColumnType::Text, 255),
            Column("RmtInfoShort", ColumnType::Binary, 510),
            Column("RmtInfoLong", ColumnType::Ole),
            Column("Lv", ColumnType::Ole),
            Column("LvProp", ColumnType::Ole),
            Column("LvModule", ColumnType::Ole),
            Column("LvExtra", ColumnType::Ole)};
}

std::vector<ColumnDescription> MSysAcesColumns() {
    return {Column("ObjectId", ColumnType::Long), Column("SID", ColumnType::Binary, 510),
            Column("ACM", ColumnType::Long), Column("FInheritable", ColumnType::Boolean)};
}

std::vector<ColumnDescription> MSysQueriesColumns() {
    return {Column("ObjectId", ColumnType::Long),     Column("Attribute", ColumnType::Byte),
            Column("Order", ColumnType::Binary, 510), Column("Name1", ColumnType::Text, 255),
            Column("Name2", ColumnType::Text, 255),   Column("Expression", ColumnType::Memo),
            Column("Flag", ColumnType::Integer),      Column("LvExtra", ColumnType::Long)};
}

std::vector<ColumnDescription> MSysRelationshipsColumns() {
    return {Column("szRelationship", ColumnType::Text, 255),
            Column("grbit", ColumnType::Long),
            Column("ccolumn", ColumnType::Long),
            Column("icolumn", ColumnType::Long),
            Column("szObject", ColumnType::Text, 255),
            Column("szColumn", ColumnType::Text, 255),
            Column("szReferencedObject", ColumnType::Text, 255),
            Column("szReferencedColumn", ColumnType::Text, 255)};
}

std::vector<ColumnDescription> MSysAccessObjectsColumns() {
    return {Column("Data", ColumnType::Complex, 3992), Column("ID", ColumnType::Long)};
}

Row CatalogRow(const CatalogEntry& e) {
    Row row(17);
    row[0] = Cell::Int(e.id);
    row[1] = Cell::Int(e.parentId);
    row[2] = Cell::Text(e.name);
    row[3] = Cell::Int(e.type);
    row[4] = Cell::Real(e.created);
    row[5] = Cell::Real(e.updated);
    row[7] = Cell::Int(static_cast<std::int32_t>(e.flags));
    row[8] = TextOrNull(e.database);
    row[9] = TextOrNull(e.connect);
    row[10] = TextOrNull(e.foreignName);
    if (!e.properties.empty()) {
        row[14] = Cell::Blob(e.properties);
    }
    return row;
}

std::uint32_t QueryCatalogFlags(QueryType type) {
    switch (type) {
        case QueryType::Select:
            return 0;
        case QueryType::Crosstab:
            return 16;
        case QueryType::Delete:
            return 32;
        case QueryType::Update:
            return 48;
        case QueryType::Append:
            return 64;
        case QueryType::MakeTable:
            return 80;
        case QueryType::DataDefinition:
            return 96;
        case QueryType::PassThrough:
            return 112;
        case QueryType::Union:
            return 128;
    }
    return 0;
}

std::vector<Row> QueryRows(const QueryDescription& q, std::int32_t id) {
    std::vector<Row> rows;
    rows.push_back(QueryRow(id, kAttrStart, {}, {}, {}, Cell::Int(0)));
    const int typeCode = static_cast<int>(q.type);
    switch (q.type) {
        case QueryType::MakeTable:
        case QueryType::Append:
            rows.push_back(
                QueryRow(id, kAttrType, q.target, q.targetDatabase, {}, Cell::Int(typeCode)));
            break;
        case QueryType::DataDefinition:
            rows.push_back(QueryRow(id, kAttrType, {}, {}, q.sql, Cell::Int(typeCode)));
            break;
        case QueryType::PassThrough:
            rows.push_back(QueryRow(id, kAttrType, q.connect, {}, q.sql, Cell::Int(typeCode)));
            break;
        default:
            rows.push_back(QueryRow(id, kAttrType, {}, {}, {}, Cell::Int(typeCode)));
            break;
    }
    for (const auto& p : q.parameters) {
        rows.push_back(QueryRow(id, kAttrParameter, p.name, {}, {}, Cell::Int(p.type),
                                p.size > 0 ? Cell::Int(p.size) : Cell::Null()));
    }
    if (q.type != QueryType::DataDefinition && q.type != QueryType::PassThrough) {
        int flags = 0;
        if (q.type == QueryType::Union) {
            flags = q.unionAll ? 0 : kUnionDistinct;
        } else {
            flags |= q.selectStar ? kSelectStar : 0;
            flags |= q.distinct ? kSelectDistinct : 0;
            flags |= q.ownerAccess ? kSelectOwnerAccess : 0;
            flags |= q.distinctRow ? kSelectDistinctRow : 0;
            flags |= q.top ? kSelectTop : 0;
            flags |= q.top && q.topPercent ? kSelectPercent : 0;
        }
        rows.push_back(QueryRow(id, kAttrFlag, q.top.value_or(""), {}, {}, Cell::Int(flags)));
    }
    for (const auto& t : q.tables) {
        rows.push_back(QueryRow(id, kAttrTable, t.name, t.alias));
    }
    for (std::size_t i = 0; i < q.unionParts.size(); ++i) {
        rows.push_back(
            QueryRow(id, kAttrTable, {}, "X7YZ_____" + std::to_string(i + 1), q.unionParts[i]));
    }
    for (const auto& c : q.columns) {
        rows.push_back(
            QueryRow(id, kAttrColumn, c.alias, c.target, c.expression, Cell::Int(c.crosstab)));
    }
    for (const auto& j : q.joins) {
        rows.push_back(QueryRow(id, kAttrJoin, j.left, j.right, j.expression, Cell::Int(j.kind)));
    }
    if (q.where) {
        rows.push_back(QueryRow(id, kAttrWhere, {}, {}, *q.where));
    }
    for (const auto& g : q.groupBy) {
        rows.push_back(QueryRow(id, kAttrGroupBy, {}, {}, g.expression, Cell::Int(g.crosstab)));
    }
    if (q.having) {
        rows.push_back(QueryRow(id, kAttrHaving, {}, {}, *q.having));
    }
    for (const auto& o : q.orderBy) {
        rows.push_back(QueryRow(id, kAttrOrderBy, o.descending ? "D" : "", {}, o.expression));
    }
    rows.push_back(QueryRow(id, kAttrEnd));
    return rows;
}

std::vector<Row> RelationshipRows(const RelationshipDescription& r) {
    std::vector<Row> rows;
    const auto count = static_cast<std::int64_t>(r.columns.size());
    for (std::size_t i = 0; i < r.columns.size(); ++i) {
        rows.push_back(Row{Cell::Text(r.name), Cell::Int(static_cast<std::int32_t>(r.attributes)),
                           Cell::Int(count), Cell::Int(static_cast<std::int64_t>(i)),
                           Cell::Text(r.foreignTable), Cell::Text(r.foreignColumns[i]),
                           Cell::Text(r.table), Cell::Text(r.columns[i])});
    }
    return rows;
}

}  // namespace ostrel::jetgen
