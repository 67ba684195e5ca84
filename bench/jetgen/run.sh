#!/bin/sh
# Generates the benchmark databases into the build tree and times the report
# against mdbtools dumping the same facts.
#   bench/jetgen/run.sh [BUILD_DIR]
# TARGET_BYTES (default 1000000000) sets the row data of the data twin;
# OSTREL_REPORT names the report command (default BUILD_DIR/cli/ostrel2-report).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build}" && pwd)
out="$build/bench-jetgen"
jetgen="$build/tools/jetgen/jetgen"
report="${OSTREL_REPORT:-$build/cli/ostrel2-report}"
mkdir -p "$out"
cd "$out"

echo "== machine"
uname -srm
grep -m1 'model name' /proc/cpuinfo || true
nproc
free -m | sed -n 2p

echo "== generating descriptions and databases"
python3 "$here/make_descriptions.py" "$out" "${TARGET_BYTES:-1000000000}"
for name in large-schema large-data; do
    /usr/bin/time -f "$name: %e s, peak %M KB" "$jetgen" "$name.json" "$name.mdb"
done
ls -l large-schema.mdb large-data.mdb

# mdbtools starts one process per table and per query: minutes on the large
# schema, so it is timed once.
for name in large-schema large-data; do
    /usr/bin/time -f "mdbtools $name: %e s, peak %M KB" sh "$here/mdbtools-dump.sh" "$name.mdb"
done

if [ -x "$report" ]; then
    for name in large-schema large-data; do
        /usr/bin/time -f "report $name: %e s, peak %M KB" \
            "$report" --all-switches --csv "$out/$name.csv" "$out/$name.mdb" >/dev/null
    done
    hyperfine --warmup 1 --runs "${RUNS:-10}" --export-markdown "$out/results.md" \
        "$report --all-switches --csv $out/large-schema.csv $out/large-schema.mdb" \
        "$report --all-switches --csv $out/large-data.csv $out/large-data.mdb"
else
    echo "note: $report is not built; only mdbtools was timed"
fi
