#!/bin/sh
# Cross-builds Varid for 64-bit Windows on Debian, runs its tests under Wine
# and writes the installer and the portable zip into build-windows/dist/.
#
# Everything comes from Debian: the mingw-w64 toolchain, Wine and NSIS as
# packages; wxWidgets, expat, libpng, TinyXML, cminpack and libxlsxwriter as
# Debian source packages, cross-built statically into a cache outside the
# repository (VARID_WINDOWS_CACHE, default /var/cache/varid-windows). Each
# library's cache entry is keyed by its Debian version and the text of the
# function that builds it, so a second run reuses them and only builds Varid.
#
#   sh scripts/build-windows.sh            install, build, test, package
#   VARID_WINDOWS_SKIP_TESTS=1 sh ...      the same without the tests
# Run as root or as a user who may use sudo.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
set -euo pipefail
shopt -s inherit_errexit

root=$(cd "$(dirname "$0")/.." && pwd)
build=${VARID_WINDOWS_BUILD_DIR:-$root/build-windows}
cache=${VARID_WINDOWS_CACHE:-/var/cache/varid-windows}
host=x86_64-w64-mingw32
jobs=${VARID_JOBS:-$(nproc)}

if [ "$(id -u)" -eq 0 ]; then as_root() { "$@"; }; else as_root() { sudo "$@"; }; fi
log() { printf '== %s\n' "$*" >&2; }

# ---- Packages ----------------------------------------------------------------
WINDOWS_PACKAGES="g++-mingw-w64-x86-64-posix mingw-w64-tools libz-mingw-w64-dev
    wine wine64 nsis zip unzip cmake make dpkg-dev gettext googletest libboost-dev
    xvfb xauth xdotool python3 python3-openpyxl gcc libx11-dev x11-utils"
SOURCE_PACKAGES="wxwidgets3.2 expat libpng1.6 tinyxml cminpack libxlsxwriter"

install_packages() {
    local missing="" pkg
    for pkg in $WINDOWS_PACKAGES; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "ok installed" || missing="$missing $pkg"
    done
    # apt-get source needs deb-src entries for the same archives as the deb ones.
    local srclist=/etc/apt/sources.list.d/varid-deb-src.sources
    local update=""
    if ! grep -rqs '^Types:.*deb-src\|^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/; then
        log "Adding deb-src entries"
        if [ -f /etc/apt/sources.list.d/debian.sources ]; then
            sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources | as_root tee "$srclist" >/dev/null
        else
            grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' | as_root tee /etc/apt/sources.list.d/varid-deb-src.list >/dev/null
        fi
        update=1
    fi
    if [ -n "$missing" ] || [ -n "$update" ] || ! apt-cache showsrc wxwidgets3.2 >/dev/null 2>&1; then
        as_root apt-get update
    fi
    if [ -n "$missing" ]; then
        log "Installing:$missing"
        # shellcheck disable=SC2086
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing
    fi
}

# The versions the archive lists, newest first. The index may name a version
# whose files the mirror no longer holds, so fetching falls back to the next.
source_versions() {
    apt-cache showsrc "$1" | sed -n 's/^Version: //p' | sort -Vr | uniq
}

declare -A SOURCE_VERSION SOURCE_TREE
# Unpacked and patched Debian source of a package, fetched once into the cache.
# When no version comes whole, the newest upstream tarball apt could fetch
# (checked against the .dsc) is used without Debian's packaging patches.
fetch_source() {
    local pkg=$1 version dir tree partial=""
    [ -n "${SOURCE_TREE[$pkg]:-}" ] && return
    for version in $(source_versions "$pkg"); do
        dir=$cache/src/$pkg-$version
        if [ ! -f "$dir/.unpacked" ]; then
            log "Fetching the Debian source of $pkg $version"
            rm -rf "$dir" && mkdir -p "$dir/fetch"
            if ! (cd "$dir/fetch" && apt-get source -q "$pkg=$version" >/dev/null 2>"$dir/fetch.log"); then
                log "$pkg $version cannot be fetched whole: $(grep -m1 '^E:' "$dir/fetch.log" || true)"
                if [ -z "$partial" ] && ls "$dir"/fetch/*.orig.tar.* >/dev/null 2>&1; then
                    partial=$version
                else
                    rm -rf "$dir"
                fi
                continue
            fi
            tree=$(find "$dir/fetch" -mindepth 1 -maxdepth 1 -type d | head -n 1)
            mv "$tree" "$dir/tree" && touch "$dir/.unpacked"
        fi
        [ ! -f "$dir/.upstream-only" ] || version=$version-upstream
        SOURCE_VERSION[$pkg]=$version SOURCE_TREE[$pkg]=$dir/tree
        return
    done
    if [ -n "$partial" ]; then
        dir=$cache/src/$pkg-$partial
        log "Using the upstream tarball of $pkg $partial without Debian's patches"
        mkdir -p "$dir/tree"
        tar -xf "$(ls "$dir"/fetch/*.orig.tar.* | head -n 1)" -C "$dir/tree" --strip-components=1
        touch "$dir/.upstream-only" "$dir/.unpacked"
        SOURCE_VERSION[$pkg]=$partial-upstream SOURCE_TREE[$pkg]=$dir/tree
        return
    fi
    echo "No version of the source package $pkg can be fetched" >&2
    return 1
}
source_dir() { echo "${SOURCE_TREE[$1]}"; }

# ---- Cross-built libraries ---------------------------------------------------
# Each build_<name> installs into its own prefix ($1) from a scratch folder ($2).
CROSS_CC=$host-gcc-posix
CROSS_CXX=$host-g++-posix
cross_cmake() {
    cmake -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF "$@"
}

build_expat() {
    local src
    src=$(source_dir expat)/expat
    [ -d "$src" ] || src=$(source_dir expat)
    # Debian's security patch tests "#if XML_DTD == 1", which the CMake
    # config header defines empty.
    sed -i 's/^#cmakedefine XML_DTD$/#cmakedefine XML_DTD 1/' "$src/expat_config.h.cmake"
    cross_cmake -S "$src" -B "$2" -DCMAKE_INSTALL_PREFIX="$1" -DEXPAT_SHARED_LIBS=OFF \
        -DEXPAT_BUILD_TOOLS=OFF -DEXPAT_BUILD_EXAMPLES=OFF -DEXPAT_BUILD_TESTS=OFF \
        -DEXPAT_BUILD_DOCS=OFF >/dev/null
    cmake --build "$2" -j"$jobs" >/dev/null && cmake --install "$2" >/dev/null
}

build_png() {
    cross_cmake -S "$(source_dir libpng1.6)" -B "$2" -DCMAKE_INSTALL_PREFIX="$1" \
        -DPNG_SHARED=OFF -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF >/dev/null
    cmake --build "$2" -j"$jobs" >/dev/null && cmake --install "$2" >/dev/null
    # wx's configure looks for -lpng.
    [ -e "$1/lib/libpng.a" ] || cp "$1/lib/libpng16.a" "$1/lib/libpng.a"
}

build_tinyxml() {
    local src
    src=$(source_dir tinyxml)
    mkdir -p "$1/include" "$1/lib" "$2"
    local f
    for f in tinyxml tinystr tinyxmlerror tinyxmlparser; do
        $CROSS_CXX -O2 -DTIXML_USE_STL -c "$src/$f.cpp" -o "$2/$f.o"
    done
    $host-ar rcs "$1/lib/libtinyxml.a" "$2"/*.o
    cp "$src/tinyxml.h" "$src/tinystr.h" "$1/include/"
}

build_cminpack() {
    cross_cmake -S "$(source_dir cminpack)" -B "$2" -DCMAKE_INSTALL_PREFIX="$1" \
        -DBUILD_SHARED_LIBS=OFF -DUSE_BLAS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF >/dev/null
    cmake --build "$2" -j"$jobs" >/dev/null && cmake --install "$2" >/dev/null
}

# The workbook writer with its own minizip and tmpfileplus on mingw's zlib.
# Its MinGW build opens files by narrow names, which Varid gives it in ASCII.
build_xlsxwriter() {
    cross_cmake -S "$(source_dir libxlsxwriter)" -B "$2" -DCMAKE_INSTALL_PREFIX="$1" \
        -DUSE_SYSTEM_MINIZIP=OFF -DUSE_STANDARD_TMPFILE=OFF -DBUILD_TESTS=OFF \
        -DBUILD_EXAMPLES=OFF >/dev/null
    cmake --build "$2" -j"$jobs" >/dev/null && cmake --install "$2" >/dev/null
}

build_gtest() {
    cross_cmake -S /usr/src/googletest -B "$2" -DCMAKE_INSTALL_PREFIX="$1" \
        -Dgtest_disable_pthreads=OFF -DBUILD_GMOCK=OFF >/dev/null
    cmake --build "$2" -j"$jobs" >/dev/null && cmake --install "$2" >/dev/null
}

build_wx() {
    local src expat png
    src=$(source_dir wxwidgets3.2)
    expat=$(prefix_of expat) png=$(prefix_of png)
    mkdir -p "$2"
    # Only what the program uses; the dfsg source has no bundled expat, png,
    # zlib, jpeg or tiff, so the cross-built ones and mingw's zlib are used.
    (cd "$2" && "$src/configure" --host=$host --build="$(gcc -dumpmachine)" --prefix="$1" \
        CC=$CROSS_CC CXX=$CROSS_CXX \
        CPPFLAGS="-I$expat/include -I$png/include -DXML_STATIC" \
        LDFLAGS="-L$expat/lib -L$png/lib" \
        --disable-shared --enable-unicode --disable-debug_info \
        --with-expat=sys --with-libpng=sys --with-zlib=sys \
        --without-libjpeg --without-libtiff --without-liblzma --without-regex \
        --without-opengl --disable-webview --disable-mediactrl --disable-stc \
        --disable-propgrid --disable-ribbon --disable-aui --disable-richtext \
        --disable-webrequest --disable-sockets --disable-protocols --disable-url \
        --disable-fs_inet --disable-debugreport >"$2/configure.log" 2>&1) ||
        { tail -n 40 "$2/configure.log"; return 1; }
    make -C "$2" -j"$jobs" >"$2/make.log" 2>&1 || { tail -n 40 "$2/make.log"; return 1; }
    make -C "$2" install >/dev/null
}

# name -> source package (the one whose version keys its cache entry)
declare -A PACKAGE_OF=([expat]=expat [png]=libpng1.6 [tinyxml]=tinyxml [cminpack]=cminpack
    [xlsxwriter]=libxlsxwriter [gtest]=googletest [wx]=wxwidgets3.2)
declare -A PREFIX

key_of() {
    local name=$1 version
    if [ "$name" = gtest ]; then
        version=$(dpkg-query -W -f='${Version}' googletest)
    else
        version=${SOURCE_VERSION[${PACKAGE_OF[$name]}]}
    fi
    {
        echo "$name $version $($CROSS_CXX -dumpversion)"
        declare -f "build_$name" cross_cmake
        cat "$root/cmake/mingw-w64-x86_64.cmake"
        # wx is built on the others.
        if [ "$name" = wx ]; then echo "${PREFIX[expat]} ${PREFIX[png]}"; fi
    } | sha256sum | cut -c1-16
}

prefix_of() { echo "${PREFIX[$1]}"; }

build_library() {
    local name=$1 key dir started
    [ "$name" = gtest ] || fetch_source "${PACKAGE_OF[$name]}"
    key=$(key_of "$name")
    dir=$cache/$name-$key
    PREFIX[$name]=$dir
    if [ -f "$dir/.done" ]; then
        log "$name: cached in $dir"
        return
    fi
    log "$name: building into $dir"
    started=$(date +%s)
    rm -rf "$dir" "$cache/work/$name"
    mkdir -p "$dir" "$cache/work"
    "build_$name" "$dir" "$cache/work/$name"
    rm -rf "$cache/work/$name"
    touch "$dir/.done"
    log "$name: built in $(($(date +%s) - started)) s"
}

build_libraries() {
    as_root mkdir -p "$cache"
    [ -w "$cache" ] || as_root chown "$(id -u):$(id -g)" "$cache"
    local name
    for name in expat png tinyxml cminpack xlsxwriter gtest wx; do build_library "$name"; done
}

install_packages
build_libraries

[ "${VARID_WINDOWS_DEPS_ONLY:-}" != 1 ] || exit 0

# ---- Varid ----------------------------------------------------------------------
version=$(sed -n 's/^project(Varid VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX=$build/wine

build_varid() {
    # Boost.Math is header-only: a folder with nothing but the headers, so
    # the host's other headers never reach the cross build.
    local boost=$cache/boost-headers
    mkdir -p "$boost" && ln -sfn /usr/include/boost "$boost/boost"
    local prefixes="" name
    for name in expat png tinyxml cminpack xlsxwriter gtest wx; do
        prefixes="$prefixes;${PREFIX[$name]}"
    done
    cmake -S "$root" -B "$build" \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DVARID_WINDOWS_PREFIXES="${prefixes#;}" \
        -DwxWidgets_CONFIG_EXECUTABLE="${PREFIX[wx]}/bin/wx-config" \
        -DBoost_INCLUDE_DIR="$boost" -DBoost_NO_SYSTEM_PATHS=ON \
        -DVARID_WXSTD_PO_DIR="$(source_dir wxwidgets3.2)/locale" \
        -DVARID_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_EXE_LINKER_FLAGS="-static -static-libgcc -static-libstdc++ -L${PREFIX[expat]}/lib -L${PREFIX[png]}/lib" \
        -DCMAKE_CROSSCOMPILING_EMULATOR="$root/scripts/wine-test.sh" >/dev/null
    cmake --build "$build" -j"$jobs"
}

# Only Windows' own DLLs: anything else would have to ship beside the program.
check_imports() {
    local exe dll bad=""
    for exe in "$build"/bin/varid.exe "$build"/bin/varid-export.exe; do
        for dll in $($host-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p'); do
            case "$(echo "$dll" | tr 'A-Z' 'a-z')" in
                kernel32.dll | user32.dll | gdi32.dll | comdlg32.dll | winspool.drv | advapi32.dll | \
                shell32.dll | shlwapi.dll | ole32.dll | oleaut32.dll | uuid.dll | comctl32.dll | \
                rpcrt4.dll | winmm.dll | version.dll | uxtheme.dll | oleacc.dll | gdiplus.dll | \
                msimg32.dll | ws2_32.dll | msvcrt.dll | imm32.dll | api-ms-win-*) ;;
                *) bad="$bad $(basename "$exe"):$dll" ;;
            esac
        done
    done
    [ -z "$bad" ] || { echo "Not a Windows system DLL:$bad" >&2; return 1; }
}

run_tests() {
    # A Wine prefix of the build's own, and one server for the whole run.
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        log "Creating the Wine prefix"
        wineboot -i >/dev/null 2>&1 || true
    fi
    # Whatever Wine started without a display ends first: programs started
    # later would share its display-less desktop and get no windows.
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    # The X companion of the Linux end-to-end tests, built for the host.
    cc -O2 -o "$build/xwin" "$root/tests/e2e/xwin.c" -lX11
    local status=0 restarts=$build/wine-restarts.log
    : >"$restarts"
    # The first window program of a Wine session starts the desktop process,
    # which inherits its output and outlives it: started here with its output
    # elsewhere, it leaves ctest's pipes alone.
    (cd "$build" && VARID_XWIN="$build/xwin" VARID_WINE_RESTART_LOG="$restarts" xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
        sh -c 'wineserver -p
               wine bin/varid_windows_runtime_tests.exe --gtest_list_tests >/dev/null 2>&1 </dev/null
               exec ctest --output-on-failure -j"$0" --timeout 600' "$jobs") || status=$?
    wineserver -k || true
    if [ -s "$restarts" ]; then
        log "Test programs that Wine ended before their first output, started again:"
        cat "$restarts" >&2
    fi
    return $status
}

package() {
    local stage=$build/stage name=varid-$version-windows-x64
    rm -rf "$stage" && mkdir -p "$build/dist"
    cmake --install "$build" --prefix "$stage/$name" --strip >/dev/null
    # The Start-menu launcher: starts Varid in the user's own folder.
    makensis -V2 -DOUTFILE="$stage/$name/bin/varid-start.exe" \
        -DICON="$root/resources/varid.ico" "$root/packaging/windows/launcher.nsi"
    rm -f "$build/dist/$name.zip"
    (cd "$stage" && zip -qr "$build/dist/$name.zip" "$name")
    makensis -V2 -DVERSION="$version" -DSTAGE="$stage/$name" \
        -DOUTFILE="$build/dist/varid-$version-setup.exe" -DICON="$root/resources/varid.ico" \
        "$root/packaging/windows/varid.nsi"
    log "Written: $(cd "$build/dist" && echo *)"
}

started=$(date +%s)
build_varid
check_imports
package
if [ "${VARID_WINDOWS_SKIP_TESTS:-}" != 1 ]; then
    run_tests
fi
log "Varid for Windows built and tested in $(($(date +%s) - started)) s"
