# GoogleTest from Debian's sources, built for whichever compiler this preset uses.
function(quorvel_enable_gtest)
  if(TARGET gtest)
    return()
  endif()
  set(GTEST_SRC /usr/src/googletest CACHE PATH "GoogleTest sources")
  if(NOT EXISTS ${GTEST_SRC}/CMakeLists.txt)
    message(FATAL_ERROR "GoogleTest sources not found in ${GTEST_SRC}: install Debian's googletest package (./test.sh does)")
  endif()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  if(WIN32)
    # mingw's posix thread model gives std::thread; gtest's own pthread probe would not find it.
    set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  endif()
  add_subdirectory(${GTEST_SRC} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
endfunction()

include(GoogleTest)

# quorvel_add_test(<name> SOURCES ... LIBS ...)
# Natively every test case becomes a ctest entry; under Wine one entry per
# executable keeps the per-process start-up cost of Wine down.
function(quorvel_add_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  quorvel_enable_gtest()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  if(TARGET test_support)
    target_link_libraries(${name} PRIVATE test_support)
  endif()
  # Tests read their data files from the source tree; __FILE__ is no guide,
  # since ccache may rewrite it relative to the build folder.
  target_compile_definitions(${name} PRIVATE QUORVEL_SOURCE_DIR="${PROJECT_SOURCE_DIR}/")
  # Its own folder joins the include path (a test's shared helpers); the
  # libraries it links bring theirs (cmake/Layers.cmake).
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  quorvel_layer_view(view ${name} ${folder})
  target_include_directories(${name} PRIVATE ${view})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name})
    # Each build folder has its own Wine prefix: runs from two build folders
    # at once must not share one wineserver.
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT}
      ENVIRONMENT "QUORVEL_WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix")
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT ${ARG_TIMEOUT})
  endif()
endfunction()
