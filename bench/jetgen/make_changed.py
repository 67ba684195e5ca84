#!/usr/bin/env python3
"""Writes a copy of the large-schema description in which about 1% of the
tables, fields, indexes, relationships and queries are changed, added or
removed, for the comparison benchmark.

    make_changed.py large-schema.json large-schema-changed.json
"""
import copy
import json
import sys


def main():
    source, target = sys.argv[1], sys.argv[2]
    with open(source) as f:
        s = json.load(f)
    tables = s["tables"]
    counts = dict.fromkeys(["tables", "fields", "indexes", "relationships", "queries"], 0)

    # Tables (1% of 2,000): 7 changed, 7 removed with what refers to them, 6 added.
    for t in tables[10:17]:
        t["validationRule"] = "[ID] > 0"
    removed = {t["name"] for t in tables[1900:1907]}
    s["tables"] = tables = [t for t in tables if t["name"] not in removed]
    for i in range(6):
        extra = copy.deepcopy(tables[0])
        extra["name"] = f"Extra{i}"
        tables.append(extra)
    counts["tables"] = 20

    def refers(text):
        return any(name in text for name in removed)

    kept = [r for r in s["relationships"] if r["table"] not in removed
            and r["foreignTable"] not in removed]
    dropped_relationships = len(s["relationships"]) - len(kept)
    s["relationships"] = kept
    kept = [q for q in s["queries"] if not refers(json.dumps(q))]
    dropped_queries = len(s["queries"]) - len(kept)
    s["queries"] = kept

    # Fields (1% of 80,000): 300 changed, 250 removed, 250 added.
    for t in tables[100:400]:
        field = next(c for c in t["columns"] if c["type"] == "Text" and c["name"] > "Field20")
        field["size"] = field.get("size", 50) + 10
    for t in tables[400:650]:
        t["columns"] = [c for c in t["columns"] if c["name"] != "Field39"]
    for t in tables[650:900]:
        t["columns"].append({"name": "Added", "type": "Long"})
    counts["fields"] = 800

    # Indexes (1% of 8,000): 40 changed, 20 removed, 20 added.
    for t in tables[1000:1040]:
        t["indexes"][1]["ignoreNulls"] = True
    for t in tables[1040:1060]:
        t["indexes"] = [i for i in t["indexes"] if i["name"] != "ByNumber"]
    for t in tables[1060:1080]:
        t["indexes"].append({"name": "Added", "columns": ["ParentID", "ID"]})
    counts["indexes"] = 80

    # Relationships (1% of 1,000): 5 changed, 5 removed besides those above.
    for r in s["relationships"][20:25]:
        r["cascadeDeletes"] = not r["cascadeDeletes"]
    del s["relationships"][30:35]
    counts["relationships"] = 10 + dropped_relationships

    # Queries (1% of 1,000): 4 changed, 3 removed, 3 added besides those above.
    selects = [q for q in s["queries"] if q["type"] == "select"]
    for q in selects[:4]:
        q["where"] += " AND 1 = 1"
    removed_queries = {q["name"] for q in selects[4:7]}
    s["queries"] = [q for q in s["queries"] if q["name"] not in removed_queries]
    for i, q in enumerate(selects[7:10]):
        extra = copy.deepcopy(q)
        extra["name"] = f"Added Query {i}"
        s["queries"].append(extra)
    counts["queries"] = 10 + dropped_queries

    with open(target, "w") as f:
        json.dump(s, f)
    print("changed, added or removed:", counts)


if __name__ == "__main__":
    main()
