# libjpeg (API 62) for the Windows presets: Debian ships no mingw build, so
# Debian's libjpeg-turbo source package (fetched by tools/install-deps.sh
# into build/deps/) is cross-compiled once per build folder with the
# preset's own toolchain, as a static library without SIMD code.
#
#   quorvel_mingw_jpeg(<target>)   an imported static library with its headers
include(ExternalProject)

function(quorvel_mingw_jpeg target)
  file(GLOB tarballs ${PROJECT_SOURCE_DIR}/build/deps/libjpeg-turbo_*.orig.tar.gz)
  if(NOT tarballs)
    message(FATAL_ERROR "libjpeg-turbo's source package is missing from build/deps/: run tools/install-deps.sh")
  endif()
  list(GET tarballs 0 tarball)
  set(prefix ${CMAKE_BINARY_DIR}/deps/libjpeg-turbo)
  set(library ${prefix}/lib/libjpeg.a)
  # The imported target's include folder must exist when the build is configured.
  file(MAKE_DIRECTORY ${prefix}/include)
  ExternalProject_Add(libjpeg_turbo_build
    URL ${tarball}
    PREFIX ${CMAKE_BINARY_DIR}/deps/libjpeg-turbo-build
    CMAKE_ARGS
      -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
      -DCMAKE_BUILD_TYPE=Release
      -DCMAKE_INSTALL_PREFIX=${prefix}
      -DCMAKE_INSTALL_LIBDIR=${prefix}/lib
      -DCMAKE_INSTALL_INCLUDEDIR=${prefix}/include
      -DCMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER}
      -DENABLE_SHARED=OFF
      -DENABLE_STATIC=ON
      -DWITH_SIMD=OFF
      -DWITH_TURBOJPEG=OFF
      -DWITH_JPEG7=OFF
      -DWITH_JPEG8=OFF
    BUILD_BYPRODUCTS ${library}
    DOWNLOAD_EXTRACT_TIMESTAMP ON
    LOG_CONFIGURE ON LOG_BUILD ON LOG_INSTALL ON LOG_OUTPUT_ON_FAILURE ON)
  add_library(${target} STATIC IMPORTED GLOBAL)
  set_target_properties(${target} PROPERTIES IMPORTED_LOCATION ${library}
    INTERFACE_INCLUDE_DIRECTORIES ${prefix}/include)
  add_dependencies(${target} libjpeg_turbo_build)
endfunction()
