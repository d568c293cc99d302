#!/usr/bin/env bash
# Start-up time of the installed program: from launch to the mapping of the
# main window, measured event-driven (MapNotify) by tests/e2e/xwin, median of
# RUNS runs (default 15; at least 10) after one uncounted warm-up run.
# Each run is a realistic start: fresh HOME, a working directory with the
# settings file and a last-save archive holding a data set.
# The accessibility bridge is off (NO_AT_BRIDGE=1) as in the tests; with
# VARID_BENCH_A11Y=1 it stays on, which costs a D-Bus round trip at start.
# Usage: scripts/startup-bench.sh [BUILD_DIR] [RUNS]     (default: build 15)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build}")
runs=${2:-15}
if [ "$runs" -lt 10 ]; then
    echo "startup-bench: at least 10 runs" >&2
    exit 1
fi

[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" >/dev/null
cmake --build "$build" --target varid xwin -j2 >/dev/null

scratch=$(mktemp -d)
xvfb_pid=
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT
prefix=$scratch/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

# A private X server, so nothing else on the display disturbs the timing.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$scratch/display" \
    >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$scratch/display" ] && break
    sleep 0.05
done
export DISPLAY=":$(tr -d '\n' <"$scratch/display")"

one_run() {
    local dir home work
    dir=$(mktemp -d "$scratch/run.XXXX")
    home=$dir/home
    work=$dir/work
    mkdir -p "$home" "$work"
    PYTHONDONTWRITEBYTECODE=1 python3 - "$work" <<'PY'
import os, sys
sys.path.insert(0, os.environ["VARID_E2E_DIR"])
import varid_e2e as v
work = sys.argv[1]
v.write_settings(work + "/" + v.SETTINGS, work, 0)
v.write_archive(work + "/" + v.LAST_SAVE, 0, v.archived_freq_rows(),
                coefficients={"T": v.FREQ_T})
PY
    (cd "$work" && env -i PATH="$PATH" DISPLAY="$DISPLAY" HOME="$home" LANG=C.UTF-8 \
        XDG_RUNTIME_DIR="$home" GDK_BACKEND=x11 $a11y \
        "$build/bin/xwin" launch KEVRO_Varid "$prefix/bin/varid" 2>>"$scratch/errors")
}
export VARID_E2E_DIR=$root/tests/e2e
a11y=NO_AT_BRIDGE=1
[ "${VARID_BENCH_A11Y:-0}" = 1 ] && a11y=

one_run >/dev/null # warm-up: file cache, font cache
times=()
for i in $(seq "$runs"); do
    t=$(one_run)
    times+=("$t")
    printf 'run %2d: %7.1f ms\n' "$i" "$t"
done
printf '%s\n' "${times[@]}" | sort -g | awk -v runs="$runs" '
    { v[NR] = $1 }
    END {
        m = (runs % 2) ? v[(runs + 1) / 2] : (v[runs / 2] + v[runs / 2 + 1]) / 2
        printf "launch to main window mapped: median %.1f ms over %d runs (min %.1f, max %.1f)\n",
            m, runs, v[1], v[runs]
    }'
