# wxWidgets twice: the engine and the archive code link the base library only
# (no window toolkit), the program and the GUI tests the whole set.
find_package(wxWidgets 3.2 REQUIRED COMPONENTS base)
add_library(wx_base INTERFACE)
target_include_directories(wx_base SYSTEM INTERFACE ${wxWidgets_INCLUDE_DIRS})
target_compile_definitions(wx_base INTERFACE ${wxWidgets_DEFINITIONS})
target_compile_options(wx_base INTERFACE ${wxWidgets_CXX_FLAGS})
target_link_libraries(wx_base INTERFACE ${wxWidgets_LIBRARIES})

unset(wxWidgets_LIBRARIES)
find_package(wxWidgets 3.2 REQUIRED COMPONENTS xrc html adv xml core base)
add_library(wx_gui INTERFACE)
target_include_directories(wx_gui SYSTEM INTERFACE ${wxWidgets_INCLUDE_DIRS})
target_compile_definitions(wx_gui INTERFACE ${wxWidgets_DEFINITIONS})
target_compile_options(wx_gui INTERFACE ${wxWidgets_CXX_FLAGS})
target_link_libraries(wx_gui INTERFACE ${wxWidgets_LIBRARIES})

find_path(TINYXML_INCLUDE_DIR tinyxml.h REQUIRED)
find_library(TINYXML_LIBRARY tinyxml REQUIRED)
add_library(tinyxml INTERFACE)
target_include_directories(tinyxml SYSTEM INTERFACE ${TINYXML_INCLUDE_DIR})
target_compile_definitions(tinyxml INTERFACE TIXML_USE_STL)
target_link_libraries(tinyxml INTERFACE ${TINYXML_LIBRARY})

if(VARID_BUILD_TESTS)
    find_package(GTest REQUIRED)
    if(VARID_BUILD_BENCH)
        find_package(benchmark REQUIRED)
    endif()
endif()
find_package(Threads REQUIRED)

# Boost.Math's root finders (header-only).
find_package(Boost 1.74 REQUIRED)

# MINPACK's least squares (Levenberg-Marquardt) for the fit over all rows.
# Found by path and name, so that a cross-build's prefix list finds its own.
find_path(CMINPACK_INCLUDE_DIR cminpack-1/cminpack.h REQUIRED)
# Its own build names the static library cminpack_s.
find_library(CMINPACK_LIBRARY NAMES cminpack cminpack_s REQUIRED)
add_library(cminpack INTERFACE)
target_include_directories(cminpack SYSTEM INTERFACE ${CMINPACK_INCLUDE_DIR})
target_link_libraries(cminpack INTERFACE ${CMINPACK_LIBRARY})
# A static library on Windows: its header must not ask for DLL imports.
if(WIN32 AND CMINPACK_LIBRARY MATCHES "\\.a$")
    target_compile_definitions(cminpack INTERFACE CMINPACK_NO_DLL)
endif()

# libxlsxwriter for the Excel workbook export. Debian's shared library brings
# its own minizip and zlib; the static one of a Windows build needs zlib named.
find_path(XLSXWRITER_INCLUDE_DIR xlsxwriter.h REQUIRED)
find_library(XLSXWRITER_LIBRARY xlsxwriter REQUIRED)
add_library(xlsxwriter INTERFACE)
target_include_directories(xlsxwriter SYSTEM INTERFACE ${XLSXWRITER_INCLUDE_DIR})
target_link_libraries(xlsxwriter INTERFACE ${XLSXWRITER_LIBRARY})
if(XLSXWRITER_LIBRARY MATCHES "\\.a$")
    # By file name: mingw's zlib has an import library beside the archive.
    find_library(XLSXWRITER_ZLIB_LIBRARY NAMES libz.a REQUIRED)
    target_link_libraries(xlsxwriter INTERFACE ${XLSXWRITER_ZLIB_LIBRARY})
endif()
