# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (posix threads).
# VARID_WINDOWS_PREFIXES: a list of folders holding cross-built libraries,
# searched before the toolchain's own root.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VARID_MINGW x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${VARID_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VARID_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${VARID_MINGW}-windres)

if(NOT VARID_WINDOWS_PREFIXES AND DEFINED ENV{VARID_WINDOWS_PREFIXES})
    set(VARID_WINDOWS_PREFIXES "$ENV{VARID_WINDOWS_PREFIXES}")
endif()
set(CMAKE_FIND_ROOT_PATH ${VARID_WINDOWS_PREFIXES} /usr/${VARID_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Static archives first, so nothing needs a DLL beside the program.
set(CMAKE_FIND_LIBRARY_SUFFIXES .a .lib)
