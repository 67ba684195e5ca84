#!/bin/sh
# Times the full CSV report of the large benchmark schema, plain and as an
# encoded copy (pages RC4-encoded, as Access's "Encode Database" leaves a
# file), and the decryption alone: the password check and the pages of the
# encrypted files named (FILE:PASSWORD, or FILE for an encoded one).
#   bench/encryption/run.sh [BUILD_DIR] [FILE[:PASSWORD]...]
# Without files it takes the encrypted files of ../shared beside the project.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build}" && pwd)
[ $# -gt 0 ] && shift
out="$build/bench-encryption"
jetgen="$build/tools/jetgen/jetgen"
report="${OSTREL_REPORT:-$build/cli/ostrel2-report}"
mkdir -p "$out"
cd "$out"

echo "== machine"
uname -srm
grep -m1 'model name' /proc/cpuinfo || true
nproc
uptime

echo "== the large schema, plain and encoded"
python3 "$here/../jetgen/make_descriptions.py" "$out" 1000 >/dev/null
"$jetgen" large-schema.json large-schema.mdb
"$jetgen" --encoding-key 0x5A17C0DE large-schema.json large-schema-encoded.mdb
ls -l large-schema.mdb large-schema-encoded.mdb

for name in large-schema large-schema-encoded; do
    /usr/bin/time -f "$name: %e s wall, %U s user, %S s system, peak %M KB" \
        "$report" --all-switches --csv "$out/$name.csv" "$out/$name.mdb" </dev/null
done
# Apart from the title block (path and time), the two reports are the same.
if [ "$(sed 3,5d large-schema.csv | md5sum)" = "$(sed 3,5d large-schema-encoded.csv | md5sum)" ]; then
    echo "the reports agree"
else
    echo "the reports differ" >&2
    exit 1
fi
hyperfine --warmup 1 --runs "${RUNS:-10}" --export-markdown "$out/results.md" \
    -n plain "$report --all-switches --csv $out/plain.csv $out/large-schema.mdb" \
    -n encoded "$report --all-switches --csv $out/encoded.csv $out/large-schema-encoded.mdb"

echo "== decryption alone"
if [ $# -eq 0 ]; then
    shared="$here/../../../shared"
    set -- "$shared/testdata-encrypted/db-enc.mdb" \
        "$shared/testdata-encrypted/db2007-enc.accdb:Test123" \
        "$shared/testdata/mdbreader/password/data/V2010_with-password.accdb:password" \
        "$out/large-schema-encoded.mdb"
fi
"$build/bench/encryption/encryption_bench" "$@"
