#!/bin/sh
# Times the comparison of the large schema with a copy in which about 1% of
# every kind of object changed, and the JSON report of the large schema.
#   bench/jetgen/compare.sh [BUILD_DIR]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build}" && pwd)
out="$build/bench-jetgen"
jetgen="$build/tools/jetgen/jetgen"
report="$build/cli/ostrel2-report"
mkdir -p "$out"
cd "$out"

if [ ! -f large-schema.mdb ]; then
    python3 "$here/make_descriptions.py" "$out" 1000
    "$jetgen" large-schema.json large-schema.mdb
fi
python3 "$here/make_changed.py" large-schema.json large-schema-changed.json
"$jetgen" large-schema.json large-schema.mdb >/dev/null
"$jetgen" large-schema-changed.json large-schema-changed.mdb >/dev/null

compare="$report --all-switches --csv $out/compare.csv --compare $out/large-schema.mdb $out/large-schema-changed.mdb"
json="$report --all-switches --json $out/large-schema.json.out $out/large-schema.mdb"
# The comparison exits 1 (differences found): time it through a shell that
# accepts that status only.
/usr/bin/time -f "compare: %e s, peak %M KB" sh -c "$compare; test \$? -eq 1"
/usr/bin/time -f "json: %e s, peak %M KB" $json
tr -d '\r' < compare.csv | grep -c ',changed$\|,added$\|,removed$' | sed "s/^/lines marking a change (objects and members): /"
hyperfine --warmup 1 --runs "${RUNS:-10}" --export-markdown "$out/compare-results.md" \
    "sh -c '$compare; test \$? -eq 1'" "$json"
