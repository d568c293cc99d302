#!/bin/sh
# Installs what is missing, builds, and starts the program in the current
# directory (its settings file lives in the working directory).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VARID_BUILD_DIR:-$root/build}

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "run.sh: no graphical display (DISPLAY is not set): the program has a window" >&2
    echo "and cannot start here. Run this in a desktop session, or over ssh -X." >&2
    exit 1
fi
sh "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build"
cmake --build "$build" -j2 --target varid
exec "$build/bin/varid"
