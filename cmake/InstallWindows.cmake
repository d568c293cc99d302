# The Windows layout, the same shape as the build tree: bin/ holds the two
# programs and their catalogues (the toolkit looks beside the executable),
# share/varid/help the guide (installed by resources/), the licence on top.
set(varid_programs varid varid-export)
install(TARGETS ${varid_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
