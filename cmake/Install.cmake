# Install layout: a standard prefix, so that the toolkit's own catalogue
# search (<prefix>/share/locale, derived from the executable's bin/ directory)
# and the desktop's icon and menu lookups work without any configuration.
# The catalogues and the help pages are installed by the rules beside them.
include(GNUInstallDirs)

set(varid_programs varid varid-export)
install(TARGETS ${varid_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# A stripped install (cpack, install --strip) also drops the compiler's notes,
# as Debian's own strip does.
foreach(program ${varid_programs})
    install(CODE "if(CMAKE_INSTALL_DO_STRIP)
        execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment
            --remove-section=.note
            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\"
            COMMAND_ERROR_IS_FATAL ANY)
    endif()")
endforeach()

install(FILES ${PROJECT_SOURCE_DIR}/packaging/varid.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/io.github.varid.Varid.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

foreach(size 48 128)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/varid_${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME varid.png)
endforeach()

# Manual pages and the Debian changelog, compressed as Debian wants them: gzip
# at its best ratio, without name or time stamp (the same bytes every build).
find_program(SCDOC_EXECUTABLE scdoc REQUIRED)
find_program(GZIP_EXECUTABLE gzip REQUIRED)
set(VARID_DOC_DIR ${CMAKE_BINARY_DIR}/doc)
set(varid_docs)
foreach(page varid varid-export)
    set(source ${PROJECT_SOURCE_DIR}/packaging/man/${page}.1.scd)
    set(output ${VARID_DOC_DIR}/${page}.1.gz)
    add_custom_command(
        OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${VARID_DOC_DIR}
        COMMAND sh -c "\"$0\" < \"$1\" > \"$2\" && \"$3\" -9nf \"$2\"" ${SCDOC_EXECUTABLE}
                ${source} ${VARID_DOC_DIR}/${page}.1 ${GZIP_EXECUTABLE}
        DEPENDS ${source}
        COMMENT "Writing the manual page ${page}(1)"
        VERBATIM)
    list(APPEND varid_docs ${output})
    install(FILES ${output} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

set(changelog ${VARID_DOC_DIR}/changelog.Debian.gz)
add_custom_command(
    OUTPUT ${changelog}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VARID_DOC_DIR}
    COMMAND sh -c "\"$0\" -9nc < \"$1\" > \"$2\"" ${GZIP_EXECUTABLE}
            ${PROJECT_SOURCE_DIR}/packaging/changelog ${changelog}
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog
    COMMENT "Compressing the Debian changelog"
    VERBATIM)
list(APPEND varid_docs ${changelog})
add_custom_target(varid_docs ALL DEPENDS ${varid_docs})

# Debian's place, not GNUInstallDirs' DOCDIR (which would take the project
# name's capital letter).
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${changelog}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/varid)
# Lintian's findings left on purpose, each with its reason.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME varid)
