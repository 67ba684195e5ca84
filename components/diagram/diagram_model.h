#pragma once

#include <functional>
#include <string>
#include <vector>

#include "components/schema/database.h"

namespace ostrel::diagram {

// What a relationship diagram shows, independent of how it is laid out or
// drawn: the tables that take part in a drawn relationship, with their fields,
// and the relationships between them.
struct DiagramField {
    std::string name;
    bool primaryKey = false;
};

struct DiagramTable {
    std::string name;
    bool linked = false;
    std::vector<DiagramField> fields;
};

// The mark at one end of a relationship line.
enum class EndMark { None, One, Many };

// One field pair of a relationship; a row is a position in the table's field
// list, or -1 when the table has no field of that name.
struct FieldPair {
    std::string primary;
    std::string foreign;
    int primaryRow = -1;
    int foreignRow = -1;
};

struct DiagramRelation {
    std::string name;
    int primaryTable = 0;  // positions in DiagramModel::tables
    int foreignTable = 0;
    std::vector<FieldPair> fields;
    EndMark primaryEnd = EndMark::None;
    EndMark foreignEnd = EndMark::None;
    // Outer joins: an arrow points at the side whose rows may be missing.
    bool arrowToPrimary = false;
    bool arrowToForeign = false;
    std::string legend;  // the cascade options, or empty
};

struct DiagramModel {
    std::vector<DiagramTable> tables;
    std::vector<DiagramRelation> relations;
    // Selected tables that take part in no drawn relationship, by name.
    std::vector<std::string> tablesNotDrawn;

    bool Empty() const { return relations.empty(); }
    // Tables joined directly or through others, as positions in tables: each
    // group in table order, the groups in the order of their first table.
    std::vector<std::vector<int>> ConnectedGroups() const;
    // The line naming the tables left out, or "" for none: a few by name,
    // the rest counted.
    std::string NotDrawnLine() const;
};

// Builds the diagram of the relationships whose two tables are both selected.
// Names are matched without regard to letter case, as Jet matches them; a
// relationship naming a table the database does not have is left out.
DiagramModel BuildDiagramModel(const schema::Database& database,
                               const std::function<bool(const std::string&)>& isSelected);

}  // namespace ostrel::diagram
