#!/usr/bin/env bash
# The pictures in docs/, made by the running program on private Xvfb servers
# from a realistic data set:
#   docs/screenshot-{en,ru,uk}.png   the main window after a Count
#   docs/details-ru.png              the window of the calibration's details
#   docs/plot-{en,ru}.png            the plot window beside it, after a Set
#   docs/report-en.pdf               the report through the print preview and
#                                    GTK's "Print to File"
# Usage: scripts/screenshot.sh [BUILD_DIR]     (default: build)
# The build is installed into a temporary prefix and that copy is shown, so
# the catalogues and help pages are found exactly as for a user. The
# interface-language locales come from the install script.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build}")

sh "$root/scripts/install-deps.sh"
[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" >/dev/null
cmake --build "$build" --target varid xwin -j2 >/dev/null

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

mkdir -p "$root/docs"
e2e() {
    python3 "$root/tests/e2e/varid_e2e.py" --prefix "$prefix" --xwin "$build/bin/xwin" "$@"
}
for lang in en ru uk; do
    e2e --lang "$lang" --out "$root/docs/screenshot-$lang.png" screenshot
    echo "wrote docs/screenshot-$lang.png"
done
e2e --lang ru --out "$root/docs/details-ru.png" details
echo "wrote docs/details-ru.png"
e2e --lang en --out "$root/docs/plot-en.png" --pdf "$root/docs/report-en.pdf" plot
echo "wrote docs/plot-en.png, docs/report-en.pdf"
e2e --lang ru --out "$root/docs/plot-ru.png" plot
echo "wrote docs/plot-ru.png"
