# Removes every file listed in an install manifest (run by the `uninstall`
# target), below $DESTDIR when it is set as it was for the installation;
# then the folders under the documentation folder and the program's own data
# folder that are left empty. Folders shared with other programs (bin, man1,
# ro/man1) stay.
#   DESTDIR=... cmake -DMANIFEST=<install_manifest.txt> -DDOCDIR=<doc folder>
#     -DDATADIR=<data folder> -P uninstall.cmake
if(NOT EXISTS "${MANIFEST}")
  message(FATAL_ERROR "Nothing to uninstall: ${MANIFEST} does not exist")
endif()
set(destdir "$ENV{DESTDIR}")
file(STRINGS "${MANIFEST}" installed)
set(folders)
foreach(file ${installed})
  set(path "${destdir}${file}")
  if(IS_SYMLINK "${path}" OR EXISTS "${path}")
    message(STATUS "Removing ${path}")
    file(REMOVE "${path}")
    if(IS_SYMLINK "${path}" OR EXISTS "${path}")
      message(FATAL_ERROR "Could not remove ${path}")
    endif()
  else()
    message(STATUS "Already gone: ${path}")
  endif()
  get_filename_component(folder "${path}" DIRECTORY)
  foreach(own "${DOCDIR}" "${DATADIR}")
    string(FIND "${folder}/" "${destdir}${own}/" at)
    if(NOT own STREQUAL "" AND at EQUAL 0)
      list(APPEND folders "${folder}")
    endif()
  endforeach()
endforeach()
# Deepest first, so that a folder emptied of its subfolders goes too.
list(REMOVE_DUPLICATES folders)
list(SORT folders ORDER DESCENDING)
foreach(folder ${folders})
  if(IS_DIRECTORY "${folder}")
    file(GLOB left "${folder}/*" "${folder}/.*")
    if(NOT left)
      message(STATUS "Removing ${folder}")
      file(REMOVE_RECURSE "${folder}")
    endif()
  endif()
endforeach()
