#!/usr/bin/env bash
# The plot window beside the main window, and the printed report, made by the
# running program on a private Xvfb server (after a Count and a Set on a
# realistic data set):
#   docs/plot-en.png, docs/plot-ru.png   screenshots of both windows
#   docs/report-en.pdf                   the report through the print preview
#                                        and GTK's "Print to File"
# Usage: scripts/plot-docs.sh [BUILD_DIR]     (default: build)
# Needs the ru_RU.UTF-8 locale (scripts/install-deps.sh generates it).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build}")

[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" >/dev/null
cmake --build "$build" --target varid xwin -j2 >/dev/null

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

mkdir -p "$root/docs"
run() {
    python3 "$root/tests/e2e/varid_e2e.py" --prefix "$prefix" --xwin "$build/bin/xwin" "$@" plot
}
run --lang en --out "$root/docs/plot-en.png" --pdf "$root/docs/report-en.pdf"
echo "wrote docs/plot-en.png, docs/report-en.pdf"
run --lang ru --out "$root/docs/plot-ru.png"
echo "wrote docs/plot-ru.png"
