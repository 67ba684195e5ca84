// The in-memory form of a database description: what the generator writes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ostrel::jetgen {

// Jet column type codes as stored in a table definition.
enum class ColumnType : std::uint8_t {
    Boolean = 0x01,
    Byte = 0x02,
    Integer = 0x03,
    Long = 0x04,
    Currency = 0x05,
    Single = 0x06,
    Double = 0x07,
    DateTime = 0x08,
    Binary = 0x09,
    Text = 0x0A,
    Ole = 0x0B,
    Memo = 0x0C,
    Guid = 0x0F,
    Decimal = 0x10,
    // Only the catalog's MSysAccessObjects uses this fixed-size blob type.
    Complex = 0x11,
};

// One cell of a row, already converted to the column's kind.
struct Cell {
    enum class Kind : std::uint8_t { Null, Bool, Int, Real, Text, Blob };
    Kind kind = Kind::Null;
    bool boolean = false;
    std::int64_t integer = 0;
    double real = 0.0;
    std::string text;  // UTF-8 for Text; raw bytes for Bytes, decimal digits text for Decimal

    static Cell Null() { return {}; }
    static Cell Bool(bool v) {
        Cell c;
        c.kind = Kind::Bool;
        c.boolean = v;
        return c;
    }
    static Cell Int(std::int64_t v) {
        Cell c;
        c.kind = Kind::Int;
        c.integer = v;
        return c;
    }
    static Cell Real(double v) {
        Cell c;
        c.kind = Kind::Real;
        c.real = v;
        return c;
    }
    static Cell Text(std::string v) {
        Cell c;
        c.kind = Kind::Text;
        c.text = std::move(v);
        return c;
    }
    static Cell Blob(std::string v) {
        Cell c;
        c.kind = Kind::Blob;
        c.text = std::move(v);
        return c;
    }
};

using Row = std::vector<Cell>;

struct ColumnDescription {
    std::string name;
    ColumnType type = ColumnType::Text;
    int size = 0;  // characters for Text, bytes for Binary; 0 = the type's default
    int precision = 18;
    int scale = 0;
    bool autoNumber = false;
    bool hyperlink = false;
    std::optional<bool> required;
    std::optional<bool> allowZeroLength;
    std::optional<std::string> defaultValue;
    std::optional<std::string> validationRule;
    std::optional<std::string> validationText;
    std::optional<std::string> description;
};

struct IndexColumnDescription {
    std::string name;
    bool descending = false;
};

struct IndexDescription {
    std::string name;
    std::vector<IndexColumnDescription> columns;
    bool primary = false;
    bool unique = false;
    bool ignoreNulls = false;
    bool required = false;
};

// Rows made up by the generator for scale tests.
struct GeneratedRows {
    std::int64_t count = 0;
    std::uint32_t seed = 1;
};

struct TableDescription {
    std::string name;
    std::vector<ColumnDescription> columns;
    std::vector<IndexDescription> indexes;
    std::vector<Row> rows;  // given rows, converted to the column kinds
    GeneratedRows generated;
    bool hidden = false;
    bool system = false;
    double created = 0.0;  // OLE automation dates
    double updated = 0.0;
    std::optional<std::string> validationRule;
    std::optional<std::string> validationText;
    std::optional<std::string> description;
};

struct LinkedTableDescription {
    std::string name;
    std::string database;
    std::string foreignName;
    std::optional<std::string> connect;
    double created = 0.0;
    double updated = 0.0;
};

struct RelationshipDescription {
    std::string name;
    std::string table;         // the primary (one) side
    std::string foreignTable;  // the foreign (many) side
    std::vector<std::string> columns;
    std::vector<std::string> foreignColumns;
    std::uint32_t attributes = 0;  // the stored grbit
    double created = 0.0;
};

// Relation attribute bits as stored in MSysRelationships.grbit.
inline constexpr std::uint32_t kRelationUnique = 0x00000001;
inline constexpr std::uint32_t kRelationDontEnforce = 0x00000002;
inline constexpr std::uint32_t kRelationInherited = 0x00000004;
inline constexpr std::uint32_t kRelationUpdateCascade = 0x00000100;
inline constexpr std::uint32_t kRelationDeleteCascade = 0x00001000;
inline constexpr std::uint32_t kRelationLeft = 0x01000000;
inline constexpr std::uint32_t kRelationRight = 0x02000000;

enum class QueryType : std::uint8_t {
    Select = 1,
    MakeTable = 2,
    Append = 3,
    Update = 4,
    Delete = 5,
    Crosstab = 6,
    DataDefinition = 7,
    PassThrough = 8,
    Union = 9,
};

struct QueryParameterDescription {
    std::string name;
    int type = 0;  // data type code; 0 = "Value"
    int size = 0;  // text parameters only
};

struct QueryTableDescription {
    std::string name;
    std::string alias;
};

struct QueryColumnDescription {
    std::string expression;
    std::string alias;
    std::string target;  // append target column or updated column
    int crosstab = 0;    // 0 value, 1 column heading (pivot), 2 row heading
};

struct QueryJoinDescription {
    std::string left;
    std::string right;
    std::string expression;
    int kind = 1;  // 1 inner, 2 left, 3 right
};

struct QueryOrderDescription {
    std::string expression;
    bool descending = false;
};

struct QueryGroupDescription {
    std::string expression;
    int crosstab = 0;
};

struct QueryDescription {
    std::string name;
    QueryType type = QueryType::Select;
    std::vector<QueryParameterDescription> parameters;
    std::vector<QueryTableDescription> tables;
    std::vector<QueryColumnDescription> columns;
    std::vector<QueryJoinDescription> joins;
    std::optional<std::string> where;
    std::vector<QueryGroupDescription> groupBy;
    std::optional<std::string> having;
    std::vector<QueryOrderDescription> orderBy;
    bool distinct = false;
    bool distinctRow = false;
    bool ownerAccess = false;
    bool selectStar = false;
    std::optional<std::string> top;
    bool topPercent = false;
    std::string target;          // make-table / append destination
    std::string targetDatabase;  // destination database, if another file
    std::string sql;             // data-definition and pass-through text
    std::string connect;         // pass-through connect string
    std::vector<std::string> unionParts;
    bool unionAll = false;
    bool hidden = false;
    double created = 0.0;
    double updated = 0.0;
};

// A form or report: listed in the catalog, with its code-behind module
// (Form_<name> or Report_<name>) when it has code.
struct DocumentDescription {
    std::string name;
    std::optional<std::string> module;  // the code, as the VBA editor shows it
    double created = 0.0;
    double updated = 0.0;
};

// A macro: kept as XML (Access 2010 and later) when xml is given, else as an
// older binary macro whose actions are not readable.
struct MacroDescription {
    std::string name;
    std::optional<std::string> xml;
    double created = 0.0;
    double updated = 0.0;
};

enum class ModuleType : std::uint8_t { Standard, Class };

// A standard or class module of the VBA project.
struct ModuleDescription {
    std::string name;
    ModuleType type = ModuleType::Standard;
    std::string source;  // the code, as the VBA editor shows it
    double created = 0.0;
    double updated = 0.0;
};

struct DatabaseDescription {
    double created = 0.0;
    int sortOrder = 1033;
    int codePage = 1252;
    // Not zero: the pages after the header are encoded (RC4) under this key,
    // as Access's "Encode Database" leaves them.
    std::uint32_t encodingKey = 0;
    std::string accessVersion = "08.50";
    std::optional<std::string> title;
    std::optional<std::string> author;
    std::optional<std::string> company;
    std::vector<TableDescription> tables;
    std::vector<LinkedTableDescription> linkedTables;
    std::vector<RelationshipDescription> relationships;
    std::vector<QueryDescription> queries;
    std::vector<DocumentDescription> forms;
    std::vector<DocumentDescription> reports;
    std::vector<MacroDescription> macros;
    std::vector<ModuleDescription> modules;
    int vbaCodePage = 1252;  // the code page of the VBA project's text
};

}  // namespace ostrel::jetgen
