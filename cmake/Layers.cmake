# Layers the build enforces; the table is docs/LAYERS.md.
#
#   quorvel_add_library(<target>
#     [DEPS <library target>...]          linked; their folders join the include path
#     [WINDOWS_DEPS <library target>...]  the same, Windows builds only
#     [LIBS <system or outside library>...]
#     [SOURCES <source>...])              instead of the folder's *.cpp
#
# The library's folder is the one its CMakeLists.txt sits in; it needs a row
# in the table. A dependency the table does not allow stops the configure
# step; a "windows" folder is skipped on other platforms. Without sources
# the library is header-only (an INTERFACE library).
#
# The include path of a library is a folder of links in the build folder
# that holds its own source folder only (layers/<target>/<folder>); linked
# libraries add theirs. The source root is never on the include path, so an
# include of a library that is not linked cannot compile.
include(${CMAKE_CURRENT_LIST_DIR}/LayersTable.cmake)
quorvel_read_layers(${PROJECT_SOURCE_DIR}/docs/LAYERS.md)
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/docs/LAYERS.md)

# quorvel_layer_view(<out> <name> <folder>): makes layers/<name>/<folder> a
# link to the source folder and returns layers/<name>, the include folder.
function(quorvel_layer_view out name folder)
  get_property(no_links GLOBAL PROPERTY QUORVEL_LAYERS_NO_LINKS)
  if(no_links)
    set(${out} ${PROJECT_SOURCE_DIR} PARENT_SCOPE)
    return()
  endif()
  set(root ${CMAKE_BINARY_DIR}/layers/${name})
  set(link ${root}/${folder})
  set(target_dir ${PROJECT_SOURCE_DIR}/${folder})
  set(current "")
  if(IS_SYMLINK ${link})
    file(READ_SYMLINK ${link} current)
  endif()
  if(NOT current STREQUAL target_dir)
    get_filename_component(parent ${link} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(REMOVE ${link})
    file(CREATE_LINK ${target_dir} ${link} RESULT res SYMBOLIC)
    if(NOT res EQUAL 0)
      message(WARNING "No symbolic links here (${res}): every library sees the whole source tree; "
                      "only the layering test checks the layers.")
      set_property(GLOBAL PROPERTY QUORVEL_LAYERS_NO_LINKS ON)
      set(${out} ${PROJECT_SOURCE_DIR} PARENT_SCOPE)
      return()
    endif()
  endif()
  set(${out} ${root} PARENT_SCOPE)
endfunction()

function(quorvel_add_library target)
  cmake_parse_arguments(ARG "" "" "DEPS;WINDOWS_DEPS;LIBS;SOURCES" ${ARGN})
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  if(NOT folder IN_LIST QUORVEL_LAYER_FOLDERS)
    message(FATAL_ERROR "${folder}/ has no row in docs/LAYERS.md: add one before declaring the library ${target}")
  endif()
  if(QUORVEL_LAYER_KIND_${folder} STREQUAL "windows" AND NOT WIN32)
    return()
  endif()

  set(deps ${ARG_DEPS})
  set(allowed ${QUORVEL_LAYER_USES_${folder}})
  if(WIN32)
    list(APPEND deps ${ARG_WINDOWS_DEPS})
    set(allowed ${QUORVEL_LAYER_WUSES_${folder}})
  endif()
  foreach(dep IN LISTS deps)
    if(NOT TARGET ${dep})
      message(FATAL_ERROR "${target} (${folder}/) depends on ${dep}, which is not declared (yet): "
                          "add_subdirectory the libraries below a layer first")
    endif()
    get_target_property(dep_folder ${dep} QUORVEL_FOLDER)
    if(NOT dep_folder)
      message(FATAL_ERROR "${target} depends on ${dep}, which is not declared with quorvel_add_library")
    endif()
    if(NOT dep_folder IN_LIST allowed)
      message(FATAL_ERROR "${target} (${folder}/) may not use ${dep} (${dep_folder}/): "
                          "docs/LAYERS.md allows ${folder}/ only: ${allowed}")
    endif()
  endforeach()

  if(ARG_SOURCES)
    set(sources ${ARG_SOURCES})
  else()
    quorvel_glob_sources(sources ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  if(sources)
    add_library(${target} STATIC ${sources})
    set(scope PUBLIC)
  else()
    add_library(${target} INTERFACE)
    set(scope INTERFACE)
  endif()
  set_property(TARGET ${target} PROPERTY QUORVEL_FOLDER ${folder})
  set_property(GLOBAL APPEND PROPERTY QUORVEL_LIBRARIES ${target})
  quorvel_layer_view(view ${target} ${folder})
  target_include_directories(${target} ${scope} ${view})
  target_link_libraries(${target} ${scope} ${deps} ${ARG_LIBS})
endfunction()
