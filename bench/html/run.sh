#!/bin/sh
# The HTML report of the large jetgen schema: how long it takes to write, how
# large the file is, and how it behaves in headless Chromium.
#   bench/html/run.sh [BUILD_DIR]
# Needs the build's ostrel2-report and jetgen, python3, chromium and the
# browser tests' Node modules (made by ctest's HtmlBrowserModules, or by
# `npm ci` in a copy of tests/html).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build}" && pwd)
out="$build/bench-html"
report="${OSTREL_REPORT:-$build/cli/ostrel2-report}"
modules="${OSTREL_HTML_MODULES:-$build/tests/html/node}"
mkdir -p "$out"
cd "$out"
if [ ! -f large-schema.mdb ]; then
    python3 "$here/../jetgen/make_descriptions.py" "$out" 1000 >/dev/null
    "$build/tools/jetgen/jetgen" large-schema.json large-schema.mdb
fi
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
/usr/bin/time -f "html report: %e s, peak %M KB" \
    "$report" --all-switches --html large-schema.html large-schema.mdb
/usr/bin/time -f "json report: %e s, peak %M KB" \
    "$report" --all-switches --json large-schema.report.json large-schema.mdb
ls -l large-schema.html large-schema.report.json
uptime
node "$here/measure.mjs" --modules "$modules" --chromium "${CHROMIUM:-/usr/bin/chromium}" \
    --page large-schema.html --runs "${RUNS:-5}"
uptime
