#!/bin/sh
# Fetches the two real Access files that Debian ships in packages into DEST:
#   mrtg-contrib        .../contrib/monitor/Monitor.mdb      (Jet 4)
#   fp-units-db-3.2.2   .../examples/odbc/testodbc.mdb.gz    (Jet 3, gzipped)
# Nothing of them is kept in the project. Exits 0 even when the download is
# impossible (offline machine); the tests then skip.
set -u
dest=${1:?usage: fetch_debian_samples.sh DEST}
mkdir -p "$dest" && cd "$dest" || exit 0
# Each test runs in its own process and may start this at the same moment:
# one fetches while the others wait, and a file appears only when complete.
exec 9>.fetch.lock
flock -w 200 9 || exit 0
if [ -f Monitor.mdb ] && [ -f testodbc.mdb ]; then
    exit 0
fi
timeout 120 apt-get download mrtg-contrib fp-units-db-3.2.2 >download.log 2>&1 || exit 0
for deb in mrtg-contrib_*.deb fp-units-db-3.2.2_*.deb; do
    [ -f "$deb" ] && dpkg-deb -x "$deb" unpacked
done
monitor=$(find unpacked -name Monitor.mdb | head -n 1)
odbc=$(find unpacked -name testodbc.mdb.gz | head -n 1)
[ -n "$monitor" ] && cp "$monitor" Monitor.mdb.part && mv Monitor.mdb.part Monitor.mdb
[ -n "$odbc" ] && gzip -dc "$odbc" >testodbc.mdb.part && mv testodbc.mdb.part testodbc.mdb
exit 0
