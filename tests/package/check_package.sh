#!/usr/bin/env bash
# The Debian package from repository to installed program and back: builds
# the .deb from this build tree, checks it (lintian, appstreamcli,
# desktop-file-validate), installs it with apt-get, runs both programs from
# /usr/bin, purges it and checks that nothing of it remains.
#   check_package.sh BUILD_DIR SOURCE_DIR APP_ID
# Needs root (it installs on this machine); exits 77 (skipped) otherwise.
set -euo pipefail
build=$1 source=$2 app_id=$3

if [ "$(id -u)" -ne 0 ]; then
    echo "skipped: installing the package needs root"
    exit 77
fi
if dpkg-query -W -f='${Status}' ostrel2 2>/dev/null | grep -q "ok installed"; then
    echo "skipped: ostrel2 is already installed here and is left alone"
    exit 77
fi

work=$(mktemp -d)
installed=0
cleanup() {
    if [ "$installed" -eq 1 ]; then
        DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq ostrel2 >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

echo "== building the package"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/cpack" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/cpack/ostrel2_*_amd64.deb)
echo "$(basename "$deb")"

echo "== lintian"
lintian --fail-on error --tag-display-limit 0 "$deb" | tee "$work/lintian.txt" ||
    fail "lintian reports errors"
# Every warning left must be explained in docs/packaging.md.
while read -r tag; do
    grep -q -- "$tag" "$source/docs/packaging.md" ||
        fail "lintian warning $tag is not explained in docs/packaging.md"
done < <(sed -n 's/^W: [^ ]* \([^ ]*\).*/\1/p' "$work/lintian.txt" | sort -u)

echo "== metadata"
dpkg-deb -x "$deb" "$work/root"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/$app_id.metainfo.xml"
desktop-file-validate "$work/root/usr/share/applications/$app_id.desktop"
dpkg-deb -f "$deb" Depends | tee "$work/depends.txt"
grep -q "libqt6widgets6" "$work/depends.txt" || fail "Depends lacks the Qt libraries"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's/^\.//' >"$work/files.txt"

echo "== installing"
installed=1
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log"; fail "apt-get install"; }

export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
[ "$(/usr/bin/ostrel2-report --version)" = "ostrel2-report $(dpkg-deb -f "$deb" Version)" ] ||
    fail "ostrel2-report --version"
/usr/bin/ostrel2-report --csv "$work/sample.csv" "$source/samples/sample-business.mdb"
head -c 22 "$work/sample.csv" | grep -q "^Ostrel2 Version" || fail "the sample's report"
grep -q "Table : Customers" "$work/sample.csv" || fail "the sample's report lists no tables"
[ "$(/usr/bin/ostrel2 --version)" = "ostrel2 $(dpkg-deb -f "$deb" Version)" ] ||
    fail "ostrel2 --version"
man -w ostrel2-report >/dev/null || fail "no manual page for ostrel2-report"
grep -q '\*\.accdb' /usr/share/mime/globs2 || fail ".accdb is not known to the MIME database"

echo "== the desktop program under Xvfb"
cp "$source/samples/sample-business.mdb" "$work/opened.mdb"
status=0
xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb \
    timeout 8 /usr/bin/ostrel2 "$work/opened.mdb" >"$work/gui.log" 2>&1 || status=$?
[ "$status" -eq 124 ] || { cat "$work/gui.log"; fail "ostrel2 ended by itself ($status)"; }
grep -q "File1=$work/opened.mdb" "$XDG_CONFIG_HOME/Ostrel2/Ostrel2.ini" ||
    fail "ostrel2 did not open the database it was given"

echo "== purging"
DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq ostrel2 >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log"; fail "apt-get purge"; }
installed=0
if dpkg-query -W -f='${Status}' ostrel2 2>/dev/null | grep -q "installed"; then
    fail "ostrel2 is still known to dpkg"
fi
while read -r file; do
    if [ -e "$file" ] || [ -L "$file" ]; then
        fail "left behind: $file"
    fi
done <"$work/files.txt"
for folder in /usr/libexec/ostrel2 /usr/share/doc/ostrel2; do
    [ ! -e "$folder" ] || fail "left behind: $folder"
done
if grep -q '\*\.accdb' /usr/share/mime/globs2; then
    fail "the MIME database still knows .accdb"
fi
echo "package test passed"
