#!/bin/sh
# ctest's emulator for the Windows tests: runs one test program under Wine.
# Rarely, under load, a program ends with a failure before it has written a
# single byte, before its own code ran as far as gtest's first line. Such a
# start is made once more and written down in VARID_WINE_RESTART_LOG, which
# the build prints, so no retry passes unseen. A program that wrote anything
# keeps its outcome.
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
wine "$@" >"$out" 2>"$err"
status=$?
if [ "$status" -ne 0 ] && [ ! -s "$out" ]; then
    echo "$(date -u +%H:%M:%S) status $status, no output: $*" >>"${VARID_WINE_RESTART_LOG:-/dev/stderr}"
    wine "$@" >"$out" 2>"$err"
    status=$?
fi
cat "$out"
cat "$err" >&2
exit "$status"
