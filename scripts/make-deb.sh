#!/bin/sh
# Makes the Debian package varid_<version>_<arch>.deb: installs what is
# missing, builds the program in Release mode, with Debian's hardening flags
# and without the tests, in a build directory of its own (default build-deb/,
# or the first argument), and runs cpack there. The last line printed is the
# path of the package. VARID_SKIP_DEPS=1 skips the dependency check.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-deb}

if [ "${VARID_SKIP_DEPS:-0}" != 1 ]; then
    sh "$root/scripts/install-deps.sh"
fi

# dpkg-buildflags gives Debian's compiler and linker flags (fortified
# functions, stack protector, read-only relocations bound at start); CMake has
# no separate preprocessor flags, so CPPFLAGS joins the compiler flags.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cppflags=$(dpkg-buildflags --get CPPFLAGS)
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DVARID_BUILD_TESTS=OFF \
    -DCMAKE_C_FLAGS="$cppflags $(dpkg-buildflags --get CFLAGS)" \
    -DCMAKE_CXX_FLAGS="$cppflags $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"
cmake --build "$build" -j"${VARID_JOBS:-2}"

rm -f "$build"/varid_*.deb
(cd "$build" && cpack -G DEB)
ls "$build"/varid_*.deb
