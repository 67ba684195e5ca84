#!/bin/sh
# Runs a libFuzzer target for SECONDS (default 1800). FUZZ_TARGET picks it:
#   jet (default): the Jet reader over whole files, seeded with the built test
#     database, its encoded copy and the real files of the test data folder
#     smaller than 200 KB (copied into the build tree, never into the
#     project);
#   descriptor: the encryption descriptor parsers, seeded with descriptors of
#     the built database encrypted in every form and of the encrypted real
#     files.
# Findings are written to the build folder as crash-*/timeout-*.
#   [FUZZ_TARGET=descriptor] tests/jet/fuzz/run_fuzz.sh [SECONDS] [BUILD_DIR] [DATA_DIR]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
seconds=${1:-1800}
build=${2:-$here/../../../build-fuzz}
data=${3:-$here/../../../../shared/testdata}
target=${FUZZ_TARGET:-jet}
fuzzer=$build/tests/jet/fuzz/${target}_fuzz
[ -x "$fuzzer" ] || { echo "configure and build the fuzz preset first (target ${target}_fuzz)" >&2; exit 1; }
if [ "$target" = descriptor ]; then
    corpus=$build/fuzz-corpus-descriptor
    seeds=$build/fuzz-seeds-descriptor
    mkdir -p "$corpus" "$seeds"
    "$build/tests/jet/fuzz/jet_fuzz_seeds" "$seeds" descriptors "$data" "$data/../testdata-encrypted"
    max_len=4096
else
    corpus=$build/fuzz-corpus
    seeds=$build/fuzz-seeds
    mkdir -p "$corpus" "$seeds"
    "$build/tests/jet/fuzz/jet_fuzz_seeds" "$seeds"
    if [ -d "$data" ]; then
        find "$data" "$data/../testdata-encrypted" \( -name '*.mdb' -o -name '*.accdb' \) \
            -size -200k -exec cp {} "$seeds/" \; 2>/dev/null || true
    fi
    max_len=262144
fi
cd "$build"
exec "$fuzzer" -max_total_time="$seconds" -max_len="$max_len" -rss_limit_mb=2048 -timeout=10 \
    -print_final_stats=1 "$corpus" "$seeds"
