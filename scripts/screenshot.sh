#!/usr/bin/env bash
# Screenshots of the running program on a private Xvfb server, after a Count
# on a realistic data set, in English, Russian and Ukrainian:
#   docs/screenshot-en.png, docs/screenshot-ru.png, docs/screenshot-uk.png
# Usage: scripts/screenshot.sh [BUILD_DIR]     (default: build)
# The build is installed into a temporary prefix and that copy is shown, so
# the catalogues are found exactly as for a user. Generates the ru_RU.UTF-8
# and uk_UA.UTF-8 locales when they are missing (needs root then).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build}")

for loc in ru_RU uk_UA; do
    if ! locale -a 2>/dev/null | grep -qix "$loc\.utf-\?8"; then
        if [ "$(id -u)" != 0 ]; then
            echo "screenshot: the $loc.UTF-8 locale is missing; run as root to generate it" >&2
            exit 1
        fi
        if [ -f /etc/locale.gen ] && ! grep -q "^$loc.UTF-8 UTF-8" /etc/locale.gen; then
            if grep -q "^# *$loc.UTF-8 UTF-8" /etc/locale.gen; then
                sed -i "s/^# *\($loc.UTF-8 UTF-8\)/\1/" /etc/locale.gen
            else
                echo "$loc.UTF-8 UTF-8" >>/etc/locale.gen
            fi
        fi
        locale-gen "$loc.UTF-8" >/dev/null
    fi
done

[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" >/dev/null
cmake --build "$build" --target varid xwin -j2 >/dev/null

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

mkdir -p "$root/docs"
for lang in en ru uk; do
    python3 "$root/tests/e2e/varid_e2e.py" --prefix "$prefix" --xwin "$build/bin/xwin" \
        --lang "$lang" --out "$root/docs/screenshot-$lang.png" screenshot
    echo "wrote docs/screenshot-$lang.png"
done
