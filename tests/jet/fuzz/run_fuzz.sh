#!/bin/sh
# Runs the Jet reader's libFuzzer target for SECONDS (default 1800) over a
# seed corpus made of the built test database and the real files of the test
# data folder smaller than 200 KB (copied into the build tree, never into the
# project). Findings are written to the build folder as crash-*/timeout-*.
#   tests/jet/fuzz/run_fuzz.sh [SECONDS] [BUILD_DIR] [DATA_DIR]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
seconds=${1:-1800}
build=${2:-$here/../../../build-fuzz}
data=${3:-$here/../../../../shared/testdata}
fuzzer=$build/tests/jet/fuzz/jet_fuzz
[ -x "$fuzzer" ] || { echo "configure and build the fuzz preset first (target jet_fuzz)" >&2; exit 1; }
mkdir -p "$build/fuzz-corpus" "$build/fuzz-seeds"
"$build/tests/jet/fuzz/jet_fuzz_seeds" "$build/fuzz-seeds"
if [ -d "$data" ]; then
    find "$data" \( -name '*.mdb' -o -name '*.accdb' \) -size -200k -exec cp {} "$build/fuzz-seeds/" \;
fi
cd "$build"
exec "$fuzzer" -max_total_time="$seconds" -max_len=262144 -rss_limit_mb=2048 -timeout=10 \
    -print_final_stats=1 fuzz-corpus fuzz-seeds
