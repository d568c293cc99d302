#!/bin/sh
# Installs what is missing, builds, and runs every test; the window tests run
# on a virtual X display. Exits non-zero when anything fails.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VARID_BUILD_DIR:-$root/build}

sh "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build"
cmake --build "$build" -j2
cd "$build"
# -noreset: the server must not restart whenever its last client leaves, or a
# test program connecting at that moment fails.
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
    ctest --output-on-failure -j2 --timeout 300
