#!/bin/sh
# Installs what building, running and testing the program needs, from Debian
# packages only. Safe to run again: it installs only what is missing.
set -eu

# ---- Packages: add new dependencies here --------------------------------
VARID_PACKAGES="cmake g++ make pkg-config
    libwxgtk3.2-dev wx3.2-headers libtinyxml-dev gettext
    libgtest-dev googletest libbenchmark-dev libboost-dev libcminpack-dev libxlsxwriter-dev
    python3-openpyxl
    xvfb xauth xdotool libx11-dev locales python3
    clang libclang-rt-14-dev valgrind
    wx3.2-i18n file dpkg-dev lintian appstream desktop-file-utils scdoc
    poppler-utils"
# Locales the interface-language tests start the program in.
VARID_LOCALES="en_US.UTF-8 ru_RU.UTF-8 uk_UA.UTF-8"
# --------------------------------------------------------------------------

if [ "$(id -u)" -eq 0 ]; then
    as_root() { "$@"; }
else
    as_root() { sudo "$@"; }
fi

missing=""
for pkg in $VARID_PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "ok installed"; then
        missing="$missing $pkg"
    fi
done
if [ -n "$missing" ]; then
    echo "Installing:$missing"
    as_root apt-get update
    # Recommended packages too: the end-to-end tests click at positions
    # measured with the toolkit's usual themes and fonts.
    # shellcheck disable=SC2086
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y $missing
fi

# locale -a spells UTF-8 as "utf8".
generate=""
for loc in $VARID_LOCALES; do
    short=$(echo "$loc" | sed 's/UTF-8$/utf8/')
    if ! locale -a 2>/dev/null | grep -qx "$short"; then
        generate="$generate $loc"
    fi
done
if [ -n "$generate" ]; then
    echo "Generating locales:$generate"
    for loc in $generate; do
        if [ -f /etc/locale.gen ] && grep -q "^# *$loc UTF-8" /etc/locale.gen; then
            as_root sed -i "s/^# *\($loc UTF-8\)/\1/" /etc/locale.gen
        elif ! grep -q "^$loc UTF-8" /etc/locale.gen 2>/dev/null; then
            echo "$loc UTF-8" | as_root tee -a /etc/locale.gen > /dev/null
        fi
    done
    as_root locale-gen
fi
