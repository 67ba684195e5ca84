#!/bin/sh
# Dumps with mdbtools the design facts a full report holds: the schema with
# indexes and foreign keys, the properties of every table, and every query.
set -eu
db="$1"
mdb-schema "$db" postgres >/dev/null
mdb-tables -1 "$db" | while IFS= read -r table; do
    mdb-prop "$db" "$table"
done >/dev/null
mdb-queries -1 "$db" | while IFS= read -r query; do
    mdb-queries "$db" "$query"
done >/dev/null
