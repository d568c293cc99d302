# Install layout: a standard prefix, so that the toolkit's own catalogue
# search (<prefix>/share/locale, derived from the executable's bin/ directory)
# and the desktop's icon and menu lookups work without any configuration.
include(GNUInstallDirs)

if(TARGET varid)
    install(TARGETS varid RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

install(FILES ${PROJECT_SOURCE_DIR}/packaging/varid.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# The application icon goes into the hicolor theme under the size the picture
# really has, read from the PNG header, so renaming or adding artwork never
# puts an image into the wrong size directory.
function(varid_install_icons)
    file(GLOB_RECURSE pngs ${PROJECT_SOURCE_DIR}/resources/*.png)
    file(GLOB_RECURSE svgs ${PROJECT_SOURCE_DIR}/resources/*.svg)
    set(sizes "")
    foreach(png IN LISTS pngs)
        file(READ ${png} header LIMIT 24 HEX)
        string(SUBSTRING "${header}" 0 16 magic)
        if(NOT magic STREQUAL "89504e470d0a1a0a")
            continue()
        endif()
        string(SUBSTRING "${header}" 32 8 w_hex)
        string(SUBSTRING "${header}" 40 8 h_hex)
        math(EXPR w "0x${w_hex}")
        math(EXPR h "0x${h_hex}")
        if(NOT w EQUAL h OR w IN_LIST sizes)
            continue()
        endif()
        list(APPEND sizes ${w})
        install(FILES ${png}
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${w}x${w}/apps
                RENAME varid.png)
    endforeach()
    list(LENGTH svgs n_svg)
    if(n_svg GREATER 0)
        list(GET svgs 0 svg)
        install(FILES ${svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
                RENAME varid.svg)
    endif()
    list(LENGTH sizes n_png)
    if(n_png EQUAL 0 AND n_svg EQUAL 0)
        message(WARNING "No application icon (PNG or SVG) under resources/; none is installed")
    endif()
    set(VARID_ICON_SIZES "${sizes}" PARENT_SCOPE)
endfunction()
varid_install_icons()
