#!/bin/sh
# Times `ostrel2-report --diagram` on the sample, on the large schema of
# bench/jetgen (1,000 relationships in 1,000 small groups) and on one
# connected group of 200 tables.
#   bench/diagram/run.sh [BUILD_DIR]
# Needs hyperfine, /usr/bin/time, python3 and the jetgen and ostrel2-report
# targets built. Writes into BUILD_DIR/bench-diagram.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "${1:-build}" && pwd)
out="$build/bench-diagram"
jetgen="$build/tools/jetgen/jetgen"
report="$build/cli/ostrel2-report"
mkdir -p "$out"
cd "$out"
export QT_QPA_PLATFORM=offscreen

echo "== machine"
uname -srm
grep -m1 'model name' /proc/cpuinfo || true
nproc
uptime

echo "== databases"
cp "$root/samples/sample-business.mdb" sample.mdb
python3 "$root/bench/jetgen/make_descriptions.py" "$out" 0 1 >/dev/null
"$jetgen" large-schema.json large-schema.mdb >/dev/null
python3 "$here/make_group.py" group-200.json
"$jetgen" group-200.json group-200.mdb >/dev/null
rm -f large-data.json

echo "== peak memory and pages"
for name in sample large-schema group-200; do
    for ext in svg pdf png; do
        /usr/bin/time -f "$name.$ext: %e s, %U s user, peak %M KB" \
            "$report" --diagram "$out/$name.$ext" "$out/$name.mdb"
    done
    printf '%s.pdf: %s pages\n' "$name" "$(pdfinfo "$out/$name.pdf" | sed -n 's/^Pages: *//p')"
done

echo "== times"
hyperfine --warmup 1 --runs "${RUNS:-10}" --export-markdown "$out/results.md" \
    "$report --diagram $out/sample.svg $out/sample.mdb" \
    "$report --diagram $out/sample.pdf $out/sample.mdb" \
    "$report --diagram $out/large-schema.svg $out/large-schema.mdb" \
    "$report --diagram $out/large-schema.pdf $out/large-schema.mdb" \
    "$report --diagram $out/group-200.svg $out/group-200.mdb" \
    "$report --diagram $out/group-200.pdf $out/group-200.mdb"
cat "$out/results.md"
