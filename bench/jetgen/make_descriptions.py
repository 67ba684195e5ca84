#!/usr/bin/env python3
"""Writes the benchmark descriptions for jetgen.

large-schema.json: 2,000 tables x 40 fields x 4 indexes, 1,000 relationships,
1,000 queries with parameters, no rows.
large-data.json: the same schema with generated rows in ten tables, about
TARGET_BYTES of row data in all (default 1 GB).
"""
import json
import sys

TABLES = 2000
FIELDS = 40
RELATIONSHIPS = 1000
QUERIES = 1000

# Field types cycle through every Jet type; field 0 is the key, field 1 the
# reference to a parent table.
CYCLE = [
    {"type": "Text", "size": 50}, {"type": "Double"}, {"type": "DateTime"},
    {"type": "Currency"}, {"type": "Boolean"}, {"type": "Integer"},
    {"type": "Text", "size": 100}, {"type": "Memo"}, {"type": "Byte"},
    {"type": "Single"}, {"type": "GUID"}, {"type": "Decimal", "precision": 12, "scale": 2},
    {"type": "Binary", "size": 16}, {"type": "OLE"}, {"type": "Hyperlink"}, {"type": "Long"},
]
PARAM_TYPES = ["Text", "Long", "DateTime", "Double", "Currency", "Boolean"]


def table(i):
    columns = [
        {"name": "ID", "type": "Long", "autoNumber": True, "description": f"Key of table {i}"},
        {"name": "ParentID", "type": "Long", "required": False},
    ]
    for f in range(2, FIELDS):
        c = dict(CYCLE[(f + i) % len(CYCLE)])
        c["name"] = f"Field{f:02d}"
        if f % 5 == 0:
            c["description"] = f"Field {f} of table {i}"
        if f % 7 == 0 and c["type"] in ("Text", "Long", "Double", "Currency", "Integer"):
            c["defaultValue"] = "0" if c["type"] != "Text" else '"none"'
        columns.append(c)
    text_fields = [c["name"] for c in columns if c["type"] == "Text"]
    numbers = [c["name"] for c in columns[2:]
               if c["type"] in ("Double", "DateTime", "Currency", "Integer", "Byte", "Single")]
    return {
        "name": f"Table{i:04d}",
        "description": f"Benchmark table {i}",
        "columns": columns,
        "indexes": [
            {"name": "PrimaryKey", "columns": ["ID"], "primary": True},
            {"name": "ParentID", "columns": ["ParentID"]},
            {"name": "ByText", "columns": [text_fields[0], {"name": "ID", "descending": True}]},
            {"name": "ByNumber", "columns": [numbers[0]], "ignoreNulls": True},
        ],
    }


def query(k):
    t = f"Table{k % TABLES:04d}"
    u = f"Table{(k % RELATIONSHIPS) + RELATIONSHIPS:04d}"
    p = PARAM_TYPES[k % len(PARAM_TYPES)]
    kind = ["select", "select", "update", "delete", "append", "makeTable", "crosstab", "union",
            "dataDefinition", "passThrough"][k % 10]
    q = {"name": f"Query{k:04d}", "type": kind,
         "parameters": [{"name": f"[Param {k}]", "type": p}, {"name": "[Limit]", "type": "Long"}]}
    if kind in ("select", "crosstab", "makeTable", "append", "update", "delete"):
        q["tables"] = [t, u]
        q["joins"] = [{"left": t, "right": u, "on": f"{t}.ID = {u}.ParentID"}]
        q["columns"] = [f"{t}.ID", f"{u}.Field05"]
        q["where"] = f"{t}.ID > [Limit]"
    if kind == "select":
        q["orderBy"] = [{"expression": f"{t}.ID", "descending": True}]
    if kind == "crosstab":
        q["columns"] = [{"expression": f"{t}.ID", "crosstab": "rowHeading"},
                        {"expression": f"{u}.Field04", "crosstab": "columnHeading"},
                        {"expression": f"Count({u}.ID)", "alias": "N", "crosstab": "value"}]
        q["groupBy"] = [{"expression": f"{t}.ID", "crosstab": "rowHeading"},
                        {"expression": f"{u}.Field04", "crosstab": "columnHeading"}]
    if kind in ("append", "makeTable"):
        q["target"] = f"Copy{k}"
    if kind == "append":
        q["columns"] = [{"expression": f"{t}.ID", "target": "ID"},
                        {"expression": f"{u}.Field05", "target": "Field05"}]
    if kind == "update":
        q["columns"] = [{"expression": f"[Param {k}]", "target": f"{u}.Field05"}]
    if kind == "union":
        q["union"] = [f"SELECT ID FROM {t}", f"SELECT ID FROM {u}"]
    if kind == "dataDefinition":
        q["sql"] = f"CREATE INDEX Extra{k} ON {t} (Field02);"
    if kind == "passThrough":
        q["sql"] = f"SELECT * FROM remote_{k}"
        q["connect"] = "ODBC;DSN=Bench"
    return q


def schema():
    return {
        "created": "2024-01-01T00:00:00",
        "tables": [table(i) for i in range(TABLES)],
        "relationships": [
            {"name": f"Rel{k:04d}", "table": f"Table{k:04d}", "columns": ["ID"],
             "foreignTable": f"Table{k + RELATIONSHIPS:04d}", "foreignColumns": ["ParentID"],
             "cascadeUpdates": k % 2 == 0, "cascadeDeletes": k % 3 == 0}
            for k in range(RELATIONSHIPS)],
        "queries": [query(k) for k in range(QUERIES)],
    }


def main():
    out_dir = sys.argv[1]
    target_bytes = int(sys.argv[2]) if len(sys.argv) > 2 else 1_000_000_000
    rows_per_table = int(sys.argv[3]) if len(sys.argv) > 3 else 0
    s = schema()
    with open(f"{out_dir}/large-schema.json", "w") as f:
        json.dump(s, f)
    # About 1,200 bytes a generated row of these 40-field tables (with their
    # long-value pages); ten tables share the target.
    if rows_per_table == 0:
        rows_per_table = target_bytes // 10 // 1200
    for i in range(10):
        s["tables"][i * 150]["generate"] = {"count": rows_per_table, "seed": i + 1}
    with open(f"{out_dir}/large-data.json", "w") as f:
        json.dump(s, f)


if __name__ == "__main__":
    main()
