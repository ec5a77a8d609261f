# The sources include by paths from the tree's root ("engine/...", "typeset/..."). Each target
# gets instead a folder of the build tree holding links to the source folders it may see, so a
# layer that includes one above it fails to build. A target sees its own folders and those of
# the targets it links to, nothing else. Each link is named after the folder's last part.
function(linoveta_include_folders target scope)
  set(dir ${PROJECT_BINARY_DIR}/include/${target})
  file(MAKE_DIRECTORY ${dir})
  foreach(folder ${ARGN})
    get_filename_component(name ${folder} NAME)
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${dir}/${name} SYMBOLIC)
  endforeach()
  target_include_directories(${target} ${scope} ${dir})
endfunction()

# One static library per folder; the sources are the folder's .cpp files, so adding a file
# needs no edit here. QT: the folder declares Qt objects, which moc must see.
function(linoveta_library name)
  cmake_parse_arguments(ARG "QT" "" "LINK" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  set(cpp ${sources})
  list(FILTER cpp INCLUDE REGEX "\\.cpp$")
  if(cpp)
    add_library(${name} STATIC ${sources})
    linoveta_include_folders(${name} PUBLIC ${folder})
    target_link_libraries(${name} PUBLIC ${ARG_LINK})
    set_target_properties(${name} PROPERTIES AUTOMOC ${ARG_QT})
  else()
    add_library(${name} INTERFACE)
    linoveta_include_folders(${name} INTERFACE ${folder})
    target_link_libraries(${name} INTERFACE ${ARG_LINK})
  endif()
endfunction()
