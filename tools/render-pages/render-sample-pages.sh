#!/bin/sh
# Renders the first pages of the sample order-entry report, as the report
# engine writes it, to PNG files (and the whole report to PDF) for a look by
# eye, and refreshes the README picture.
#
#   tools/render-pages/render-sample-pages.sh [BUILD_DIR] [OUT_DIR]
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-"$root/build"}
out=${2:-"$build/sample-pages"}
render="$build/tools/render-pages/ostrel-render-pages"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"

cmake --build "$build" --target ostrel-render-pages
mkdir -p "$out/readme" "$root/docs/images"
"$render" "$out" --engine --pages 5 --pdf "$out/sample-report.pdf"
# The README shows the page with section and object headings and wrapped SQL.
"$render" "$out/readme" --engine --pages 5 --width 1000
cp "$out/readme/page-5.png" "$root/docs/images/report-page.png"
echo "pages in $out; README picture in docs/images/report-page.png"
