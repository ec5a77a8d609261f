# `make uninstall`: cmake -DPREFIX=<prefix> -P cmake/uninstall.cmake. Removes every file the
# install recorded under the prefix, the folders it created once they are empty, and brings
# the desktop's type and entry databases there up to date.

if(NOT PREFIX)
  message(FATAL_ERROR "uninstall.cmake needs -DPREFIX=<the prefix given to make install>")
endif()
set(root "$ENV{DESTDIR}${PREFIX}")
set(record "${root}/share/linoveta/installed.cmake")
if(NOT EXISTS "${record}")
  message(STATUS "Nothing of Linoveta is installed under ${root}")
  return()
endif()
include("${record}")

foreach(file IN LISTS LINOVETA_INSTALLED_FILES)
  if(EXISTS "${root}/${file}" OR IS_SYMLINK "${root}/${file}")
    message(STATUS "Removing ${root}/${file}")
    file(REMOVE "${root}/${file}")
  endif()
endforeach()

# The databases are made from the files beside them alone: with none of those left they
# describe nothing, otherwise they are made again without ours (by the system's own triggers
# under DESTDIR).
set(mime "${root}/share/mime")
if(IS_DIRECTORY "${mime}")
  file(GLOB packages "${mime}/packages/*.xml")
  find_program(update_mime update-mime-database)
  if(packages AND update_mime AND "$ENV{DESTDIR}" STREQUAL "")
    execute_process(COMMAND "${update_mime}" "${mime}")
  elseif(NOT packages)
    file(GLOB generated LIST_DIRECTORIES true "${mime}/*")
    list(REMOVE_ITEM generated "${mime}/packages")
    if(generated)
      file(REMOVE_RECURSE ${generated})
    endif()
  endif()
endif()
set(applications "${root}/share/applications")
if(IS_DIRECTORY "${applications}")
  file(GLOB entries "${applications}/*.desktop")
  find_program(update_desktop update-desktop-database)
  if(entries AND update_desktop AND "$ENV{DESTDIR}" STREQUAL "")
    execute_process(COMMAND "${update_desktop}" -q "${applications}")
  elseif(NOT entries)
    file(REMOVE "${applications}/mimeinfo.cache")
  endif()
endif()

# Deepest first, and only what is empty: whatever else lives there stays.
list(SORT LINOVETA_CREATED_DIRS)
list(REVERSE LINOVETA_CREATED_DIRS)
foreach(dir IN LISTS LINOVETA_CREATED_DIRS)
  file(GLOB left LIST_DIRECTORIES true "${root}/${dir}/*" "${root}/${dir}/.*")
  if(IS_DIRECTORY "${root}/${dir}" AND NOT left)
    file(REMOVE_RECURSE "${root}/${dir}")
  endif()
endforeach()
