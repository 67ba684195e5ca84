#!/usr/bin/env python3
"""Writes a jetgen description of one connected group of 200 tables.

group-200.json: 200 tables of 12 fields, each but the first referring to a
parent (a tree three wide), and 60 more relationships across the tree, some
of them on two fields, unique, unenforced or outer joins: 259 relationships
that Graphviz has to lay out as one group.
"""
import json
import sys

TABLES = 200
EXTRA = 60


def table(i):
    columns = [
        {"name": "ID", "type": "Long", "autoNumber": True},
        {"name": "ParentID", "type": "Long"},
        {"name": "OtherID", "type": "Long"},
        {"name": "Code", "type": "Text", "size": 10},
    ]
    for f in range(4, 12):
        columns.append({"name": f"Attribute{f:02d}", "type": "Text", "size": 40})
    return {
        "name": f"Entity{i:03d}",
        "columns": columns,
        "indexes": [
            {"name": "PrimaryKey", "columns": ["ID"], "primary": True},
            {"name": "ByCode", "columns": ["ID", "Code"], "unique": True},
        ],
    }


def relationships():
    rels = []
    for k in range(1, TABLES):
        rels.append({"name": f"Tree{k:03d}", "table": f"Entity{(k - 1) // 3:03d}",
                     "columns": ["ID"], "foreignTable": f"Entity{k:03d}",
                     "foreignColumns": ["ParentID"], "cascadeUpdates": k % 4 == 0,
                     "cascadeDeletes": k % 6 == 0})
    for e in range(EXTRA):
        a = (e * 37 + 11) % TABLES
        b = (e * 53 + 101) % TABLES
        if a == b:
            b = (b + 1) % TABLES
        rel = {"name": f"Cross{e:03d}", "table": f"Entity{a:03d}", "columns": ["ID"],
               "foreignTable": f"Entity{b:03d}", "foreignColumns": ["OtherID"]}
        if e % 5 == 0:
            rel["columns"] = ["ID", "Code"]
            rel["foreignColumns"] = ["OtherID", "Code"]
        if e % 7 == 0:
            rel["enforce"] = False
        if e % 9 == 0:
            rel["oneToOne"] = True
        if e % 11 == 0:
            rel["join"] = "left" if e % 2 == 0 else "right"
        rels.append(rel)
    return rels


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "group-200.json"
    with open(out, "w") as f:
        json.dump({"created": "2024-01-01T00:00:00",
                   "tables": [table(i) for i in range(TABLES)],
                   "relationships": relationships()}, f)


if __name__ == "__main__":
    main()
