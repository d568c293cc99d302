# Install layout: a standard prefix, so that the toolkit's own catalogue
# search (<prefix>/share/locale, derived from the executable's bin/ directory)
# and the desktop's icon and menu lookups work without any configuration.
include(GNUInstallDirs)

install(TARGETS varid varid-export RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${PROJECT_SOURCE_DIR}/packaging/varid.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

install(FILES ${PROJECT_SOURCE_DIR}/resources/varid_48.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps
        RENAME varid.png)
