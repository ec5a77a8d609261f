# Run by `cmake --install` before and after the program's files (INSTALL_RECORD_STEP is start
# or finish). It keeps, inside the prefix, what the install put there: the files (CMake's
# install manifest) and the folders that did not exist before, so that cmake/uninstall.cmake
# can take exactly those away again, whichever build tree installed them.
#
# Inputs: INSTALL_RECORD_DIRS, the destination folders relative to the prefix.

set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(record "${root}/share/linoveta/installed.cmake")

if(INSTALL_RECORD_STEP STREQUAL "start")
  set(LINOVETA_INSTALLED_FILES "")
  set(LINOVETA_CREATED_DIRS "")
  set(LINOVETA_CREATED_PREFIX OFF)
  # A second install over the first keeps what the first one made.
  if(EXISTS "${record}")
    include("${record}")
  endif()
  if(NOT EXISTS "${root}")
    set(LINOVETA_CREATED_PREFIX ON)
  endif()
  foreach(dir IN LISTS INSTALL_RECORD_DIRS)
    set(path "${dir}")
    while(NOT path STREQUAL "")
      if(NOT EXISTS "${root}/${path}")
        list(APPEND LINOVETA_CREATED_DIRS "${path}")
      endif()
      get_filename_component(path "${path}" DIRECTORY)
    endwhile()
  endforeach()
  list(REMOVE_DUPLICATES LINOVETA_CREATED_DIRS)
  return()
endif()

# The desktop's databases of types and entries are made from the installed files; a packager
# (DESTDIR) leaves that to the system's own triggers.
if("$ENV{DESTDIR}" STREQUAL "")
  find_program(update_mime update-mime-database)
  if(update_mime)
    execute_process(COMMAND "${update_mime}" "${root}/share/mime")
  endif()
  find_program(update_desktop update-desktop-database)
  if(update_desktop)
    execute_process(COMMAND "${update_desktop}" -q "${root}/share/applications")
  endif()
endif()

# The manifest names the files as the installed system sees them, without DESTDIR.
foreach(file IN LISTS CMAKE_INSTALL_MANIFEST_FILES)
  string(FIND "${file}" "${root}/" at)
  if(at EQUAL 0)
    file(RELATIVE_PATH relative "${root}" "${file}")
  else()
    file(RELATIVE_PATH relative "${CMAKE_INSTALL_PREFIX}" "${file}")
  endif()
  list(APPEND LINOVETA_INSTALLED_FILES "${relative}")
endforeach()
list(APPEND LINOVETA_INSTALLED_FILES "share/linoveta/installed.cmake")
list(REMOVE_DUPLICATES LINOVETA_INSTALLED_FILES)
file(WRITE "${record}"
     "set(LINOVETA_INSTALLED_FILES \"${LINOVETA_INSTALLED_FILES}\")\n"
     "set(LINOVETA_CREATED_DIRS \"${LINOVETA_CREATED_DIRS}\")\n"
     "set(LINOVETA_CREATED_PREFIX ${LINOVETA_CREATED_PREFIX})\n")
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${record}")
