#!/bin/sh
# Times the Jet reader walking every member of every object of each file of
# the test data folder against mdbtools printing the same facts (mdb-schema,
# mdb-prop for each table, mdb-queries for each query). Prints both times and
# their ratio.
#   bench/jet/run_bench.sh [BUILD_DIR] [DATA_DIR]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../../build}
data=${2:-$here/../../../shared/testdata}
walk=$build/bench/jet/jet_walk
[ -x "$walk" ] || { echo "build the jet_walk target first" >&2; exit 1; }
command -v mdb-schema >/dev/null || { echo "mdbtools not installed" >&2; exit 1; }
files=$(find "$data" -name '*.mdb' -o -name '*.accdb' | sort)
rounds=${ROUNDS:-3}

now() { date +%s.%N; }

start=$(now)
i=0
while [ $i -lt "$rounds" ]; do
    "$walk" $files >/dev/null 2>&1
    i=$((i + 1))
done
ours=$(echo "($(now) - $start) / $rounds" | bc -l)

start=$(now)
i=0
while [ $i -lt "$rounds" ]; do
    for f in $files; do
        mdb-schema "$f" access >/dev/null 2>&1 || true
        mdb-tables -S -1 "$f" 2>/dev/null | while IFS= read -r t; do
            mdb-prop "$f" "$t" >/dev/null 2>&1 || true
        done
        mdb-queries -1 "$f" 2>/dev/null | while IFS= read -r q; do
            mdb-queries "$f" "$q" >/dev/null 2>&1 || true
        done
    done
    i=$((i + 1))
done
theirs=$(echo "($(now) - $start) / $rounds" | bc -l)

printf 'files: %s\n' "$(echo "$files" | wc -l)"
printf 'jet reader: %.3f s per round\n' "$ours"
printf 'mdbtools:   %.3f s per round\n' "$theirs"
printf 'ratio mdbtools/reader: %.1f\n' "$(echo "$theirs / $ours" | bc -l)"
