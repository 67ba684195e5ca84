#!/bin/sh
# Runs one of the VBA reader's libFuzzer targets (vba_compression,
# compound_file or vba_directory) for SECONDS (default 600) over seeds made by
# vba_fuzz_seeds: a generated database's application store and, when the test
# data folder is there, the parts of the real files in its objects/ folder
# (written into the build tree, never into the project). Findings are written
# to the build folder as crash-*/timeout-*/oom-*.
#   tests/jet/fuzz/run_vba_fuzz.sh TARGET [SECONDS] [BUILD_DIR] [DATA_DIR]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
target=${1:?usage: run_vba_fuzz.sh TARGET [SECONDS] [BUILD_DIR] [DATA_DIR]}
seconds=${2:-600}
build=${3:-$here/../../../build-fuzz}
data=${4:-$here/../../../../shared/testdata}
fuzzer=$build/tests/jet/fuzz/${target}_fuzz
[ -x "$fuzzer" ] || { echo "configure and build the fuzz preset first (target ${target}_fuzz)" >&2; exit 1; }
seeds=$build/vba-fuzz-seeds
corpus=$build/vba-fuzz-corpus-$target
mkdir -p "$seeds" "$corpus"
if [ -d "$data" ]; then
    "$build/tests/jet/fuzz/vba_fuzz_seeds" "$seeds" "$data"
else
    "$build/tests/jet/fuzz/vba_fuzz_seeds" "$seeds"
fi
cd "$build"
exec "$fuzzer" -max_total_time="$seconds" -max_len=1048576 -rss_limit_mb=2048 -timeout=10 \
    -print_final_stats=1 "$corpus" "$seeds"
