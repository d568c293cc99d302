#!/usr/bin/env bash
# The pictures in docs/, made by the running program on private Xvfb servers
# from a realistic data set:
#   docs/screenshot-{en,ru,uk}.png   the main window after a Count
#   docs/details-ru.png              the window of the calibration's details
#   docs/plot-{en,ru}.png            the plot window beside it, after a Set
#   docs/certificate-{en,ru}.pdf     a calibration certificate with a full
#                                    record, after a Count, through the print
#                                    preview and GTK's "Print to File"
#   docs/certificate-en.png          its first page
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
for lang in en ru; do
    e2e --lang "$lang" --out "$root/docs/plot-$lang.png" plot
    echo "wrote docs/plot-$lang.png"
    e2e --lang "$lang" --pdf "$root/docs/certificate-$lang.pdf" certificate
    echo "wrote docs/certificate-$lang.pdf"
done
pdftoppm -png -r 60 -f 1 -l 1 -singlefile "$root/docs/certificate-en.pdf" "$root/docs/certificate-en"
echo "wrote docs/certificate-en.png"
