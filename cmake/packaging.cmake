# What `make install` puts on a system and what `make deb` packs: the
# programs, their manual pages in English and in Romanian (man/ro/, which man
# shows in a Romanian locale and with -L ro), the desktop menu entry and its
# icon, the README, the teachers' guide and the sample group file under the
# documentation folder, the Debian copyright and changelog, lotrano-verify's
# bash completion, and the checking page (share/lotrano/lotrano.html).
# Included at the end of CMakeLists.txt, once every program target exists;
# lotrano-verify joins wherever the tree builds it.
include(GNUInstallDirs)

# Folders that the installation makes are rwxr-xr-x whatever the umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(lotrano_programs lotrano)
if(TARGET lotrano-verify)
  list(APPEND lotrano_programs lotrano-verify)
endif()

# Manual pages and the changelog are installed compressed, as Debian wants
# them: at the best compression and without a name or time stamp inside, so
# that two builds of the same text give the same bytes.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(lotrano_compressed)
function(lotrano_gzip source compressed)
  add_custom_command(OUTPUT ${compressed}
    COMMAND ${GZIP_PROGRAM} -9n -c ${source} > ${compressed}
    DEPENDS ${source}
    COMMENT "Compressing ${source}"
    VERBATIM)
  set(lotrano_compressed ${lotrano_compressed} ${compressed} PARENT_SCOPE)
endfunction()

# The manual pages and the guide name the package's folders; the copies
# installed name this installation's (/usr/local/share/doc/lotrano and
# /usr/local/share/lotrano under `make install`). The folders stand in a
# file rewritten only when they change, so that a tree configured for
# another prefix (make install and make deb share one) makes the copies again.
set(lotrano_doc_folders ${CMAKE_BINARY_DIR}/doc/folders.txt)
file(CONFIGURE OUTPUT ${lotrano_doc_folders}
  CONTENT "${CMAKE_INSTALL_FULL_DOCDIR}\n${CMAKE_INSTALL_FULL_DATADIR}/lotrano\n")
set(lotrano_doc_copies)
function(lotrano_doc_copy source copy)
  add_custom_command(OUTPUT ${copy}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${source} -DOUTPUT=${copy}
      -DDOCDIR=${CMAKE_INSTALL_FULL_DOCDIR} -DDATADIR=${CMAKE_INSTALL_FULL_DATADIR}/lotrano
      -P ${CMAKE_SOURCE_DIR}/cmake/doc-paths.cmake
    DEPENDS ${source} ${CMAKE_SOURCE_DIR}/cmake/doc-paths.cmake ${lotrano_doc_folders}
    COMMENT "Naming ${CMAKE_INSTALL_FULL_DOCDIR} in ${source}"
    VERBATIM)
  set(lotrano_doc_copies ${lotrano_doc_copies} ${copy} PARENT_SCOPE)
endfunction()

# Each page in English (man/) and in Romanian (man/ro/).
foreach(program ${lotrano_programs})
  foreach(folder man man/ro)
    lotrano_doc_copy(${CMAKE_SOURCE_DIR}/${folder}/${program}.1 ${CMAKE_BINARY_DIR}/${folder}/${program}.1)
    lotrano_gzip(${CMAKE_BINARY_DIR}/${folder}/${program}.1 ${CMAKE_BINARY_DIR}/${folder}/${program}.1.gz)
  endforeach()
endforeach()
lotrano_doc_copy(${CMAKE_SOURCE_DIR}/docs/ghid.md ${CMAKE_BINARY_DIR}/doc/ghid.md)
lotrano_gzip(${CMAKE_SOURCE_DIR}/packaging/changelog ${CMAKE_BINARY_DIR}/doc/changelog.gz)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/man/ro ${CMAKE_BINARY_DIR}/doc)
add_custom_target(lotrano_compressed_docs ALL DEPENDS ${lotrano_compressed} ${lotrano_doc_copies})

# The checking page, one HTML file put together from web/ by the same tool
# as `make web`.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
file(GLOB lotrano_web_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/web/*)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/web/lotrano.html
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/build-web.py
    ${CMAKE_BINARY_DIR}/web/lotrano.html ${CMAKE_SOURCE_DIR}/web
  DEPENDS ${lotrano_web_sources} ${CMAKE_SOURCE_DIR}/tools/build-web.py
  COMMENT "Putting the checking page together"
  VERBATIM)
add_custom_target(lotrano_web_page ALL DEPENDS ${CMAKE_BINARY_DIR}/web/lotrano.html)

install(TARGETS ${lotrano_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# A stripped program (the package's) loses the compiler's notes in .comment
# too, which strip keeps and nothing at run time reads.
foreach(program ${lotrano_programs})
  install(CODE "if(CMAKE_INSTALL_DO_STRIP)
  execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\"
    COMMAND_ERROR_IS_FATAL ANY)
endif()")
endforeach()
install(FILES ${CMAKE_BINARY_DIR}/web/lotrano.html DESTINATION ${CMAKE_INSTALL_DATADIR}/lotrano)
# lintian takes the page for documentation out of place; the package says
# otherwise (an installation elsewhere than /usr has no use for it).
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/lintian-overrides
    DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME lotrano)
endif()
foreach(program ${lotrano_programs})
  install(FILES ${CMAKE_BINARY_DIR}/man/${program}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${CMAKE_BINARY_DIR}/man/ro/${program}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/ro/man1)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/packaging/lotrano.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/lotrano.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
if(TARGET lotrano-verify)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/lotrano-verify.bash-completion
    DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME lotrano-verify)
endif()
install(FILES
  ${CMAKE_SOURCE_DIR}/README.md
  ${CMAKE_BINARY_DIR}/doc/ghid.md
  ${CMAKE_SOURCE_DIR}/packaging/copyright
  ${CMAKE_BINARY_DIR}/doc/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${CMAKE_SOURCE_DIR}/samples/grupa_311.dat
  DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)

# `make uninstall`: removes every file that the last installation from this
# build folder wrote, as listed in its install_manifest.txt.
add_custom_target(uninstall
  COMMAND ${CMAKE_COMMAND} -DMANIFEST=${CMAKE_BINARY_DIR}/install_manifest.txt
    -DDOCDIR=${CMAKE_INSTALL_FULL_DOCDIR}
    -DDATADIR=${CMAKE_INSTALL_FULL_DATADIR}/lotrano
    -P ${CMAKE_SOURCE_DIR}/cmake/uninstall.cmake
  VERBATIM)

# The Debian package (`cpack -G DEB`, run by `make deb`).
set(CPACK_PACKAGE_NAME lotrano)
set(CPACK_PACKAGE_VENDOR "lotrano")
set(LOTRANO_MAINTAINER "Lotrano Maintainers <lotrano@example.org>"
  CACHE STRING "Maintainer of the Debian package, a name and an address")
set(CPACK_PACKAGE_CONTACT "${LOTRANO_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "random allocation of exam problems to a study group")
# The summary is the Description's first line; this is the text below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "lotrano hands out exam problems at random to the students of one study
group, so that no problem goes to two students while the range of problems
lasts, and writes the allocation into a read-only report. A small seed file
written beside the report draws the very same allocation again, number for
number, at any later time: the teacher's proof that the draw was fair.

The group is read from a plain text list of the students or typed at the
console; all prompts and reports are in Romanian. On a desktop the files are
chosen in zenity's dialogs, elsewhere at the console.

A page that checks a report in any browser, offline, with nothing to
install, is in /usr/share/lotrano/lotrano.html.")
if(TARGET lotrano-verify)
  string(APPEND CPACK_DEBIAN_PACKAGE_DESCRIPTION "

lotrano-verify checks a report against its seed file (and, when given, the
group file) and says whether the report is the allocation that seed file
draws.")
endif()
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS zenity)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
include(CPack)
