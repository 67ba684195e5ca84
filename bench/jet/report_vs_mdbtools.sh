#!/bin/sh
# Times ostrel2-report writing the full CSV report (every switch on) of every
# file in the test data folder, against mdbtools printing the same facts
# (mdb-schema, mdb-prop for each table, mdb-queries for each query), with
# hyperfine. Prints both means and the ratio.
#   bench/jet/report_vs_mdbtools.sh [BUILD_DIR] [DATA_DIR]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../../build}" && pwd)
data=$(cd "${2:-$here/../../../shared/testdata}" && pwd)
report=$build/cli/ostrel2-report
[ -x "$report" ] || { echo "build the ostrel2-report target first" >&2; exit 1; }
command -v mdb-schema >/dev/null || { echo "mdbtools not installed" >&2; exit 1; }
command -v hyperfine >/dev/null || { echo "hyperfine not installed" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
find "$data" \( -name '*.mdb' -o -name '*.accdb' \) | sort >"$work/files"

cat >"$work/ours.sh" <<SCRIPT
while IFS= read -r f; do
    "$report" --all-switches --csv "$work/report.csv" "\$f" >/dev/null 2>&1 || true
done <"$work/files"
SCRIPT

cat >"$work/mdbtools.sh" <<'SCRIPT'
while IFS= read -r f; do
    mdb-schema "$f" access >/dev/null 2>&1 || true
    mdb-tables -S -1 "$f" 2>/dev/null | while IFS= read -r t; do
        mdb-prop "$f" "$t" >/dev/null 2>&1 || true
    done
    mdb-queries -1 "$f" 2>/dev/null | while IFS= read -r q; do
        mdb-queries "$f" "$q" >/dev/null 2>&1 || true
    done
done
SCRIPT

echo "files: $(wc -l <"$work/files")"
hyperfine --warmup 1 --runs "${RUNS:-5}" \
    --command-name ostrel2-report "sh $work/ours.sh" \
    --command-name mdbtools "sh $work/mdbtools.sh <$work/files"
