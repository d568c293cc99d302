# The Windows layout, the same shape as the build tree: bin/ holds the two
# programs and their catalogues (the toolkit looks beside the executable),
# share/varid/help the guide (installed by resources/), the licence on top.
set(varid_programs varid varid-export)
install(TARGETS ${varid_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The licence the installer shows: Varid's, then the notices of the workbook
# writer and its parts linked into the programs, with the full text of the
# MPL of its tmpfileplus (Debian's copy).
file(READ ${PROJECT_SOURCE_DIR}/LICENSE varid_licence)
file(READ ${PROJECT_SOURCE_DIR}/packaging/windows/third-party.txt varid_third_party)
file(READ /usr/share/common-licenses/MPL-2.0 varid_mpl)
file(WRITE ${CMAKE_BINARY_DIR}/LICENSE.txt "${varid_licence}${varid_third_party}${varid_mpl}")
install(FILES ${CMAKE_BINARY_DIR}/LICENSE.txt DESTINATION .)
