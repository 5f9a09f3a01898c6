# The layering test: reads every #include of the library folders of
# docs/LAYERS.md and of tests/, bench/ and fuzz/, and fails when one crosses
# the table. Also covers the Windows-only folders, which native builds do not
# compile.
#
#   cmake -DSOURCE_DIR=<source root> [-DTABLE=<table>] -P cmake/CheckLayers.cmake
cmake_policy(VERSION 3.25)
if(NOT SOURCE_DIR)
  message(FATAL_ERROR "usage: cmake -DSOURCE_DIR=<source root> -P CheckLayers.cmake")
endif()
if(NOT TABLE)
  set(TABLE ${SOURCE_DIR}/docs/LAYERS.md)
endif()
include(${CMAKE_CURRENT_LIST_DIR}/LayersTable.cmake)
quorvel_read_layers(${TABLE})

# The one header that brings in <windows.h>, and the Windows-only headers
# beside it in rtl/ (rtl/Win32*.h) that every Windows-side file may use.
set(win32_home "rtl/Win32.h")
set(win32_headers "^rtl/Win32[A-Za-z]*\\.h$")
# Platform headers a portable file must not include (matched lower-case).
set(windows_headers "^(windows|winsock2?|ws2tcpip|ws2ipdef|mswsock|iphlpapi|wininet|winhttp|winreg|winuser|wingdi|winbase|winnls|winver|wincrypt|winternl|winerror|commctrl|commdlg|shlobj|shellapi|shlwapi|objbase|objidl|ole2|oleauto|olectl|ocidl|unknwn|richedit|uxtheme|dwmapi|mmsystem|psapi|tlhelp32|gdiplus[a-z]*|versionhelpers|knownfolders|shobjidl|propidl|rpc|rpcndr|direct|io|process|tchar)\\.h$")
set(area_roots tests bench fuzz)

set(files)
foreach(root IN LISTS QUORVEL_LAYER_FOLDERS area_roots)
  if(IS_DIRECTORY ${SOURCE_DIR}/${root})
    file(GLOB_RECURSE found LIST_DIRECTORIES false RELATIVE ${SOURCE_DIR}
      ${SOURCE_DIR}/${root}/*.h ${SOURCE_DIR}/${root}/*.hpp ${SOURCE_DIR}/${root}/*.cpp ${SOURCE_DIR}/${root}/*.inc)
    list(APPEND files ${found})
  endif()
endforeach()
list(REMOVE_DUPLICATES files)
list(SORT files)

set(faults 0)
set(checked 0)
foreach(file IN LISTS files)
  # Who owns the file: a library folder, or the tests/benchmarks/fuzz
  # targets of one (tests/<folder>/..., bench/<folder>/..., fuzz/<folder>/...).
  quorvel_layer_owner(owner ${file})
  set(area "")
  if(owner)
    set(kind ${QUORVEL_LAYER_KIND_${owner}})
    set(windows_file OFF)
    # Test support (tests/fixture, bench/common) may reach the platform
    # behind #ifdef _WIN32, as tests may.
    if(kind STREQUAL "windows" OR file MATCHES "_win\\.(cpp|h)$" OR file MATCHES "${win32_headers}"
       OR owner MATCHES "^(tests|bench|fuzz)/")
      set(windows_file ON)
    endif()
    if(windows_file)
      set(allowed ${owner} ${QUORVEL_LAYER_WUSES_${owner}})
    else()
      set(allowed ${owner} ${QUORVEL_LAYER_USES_${owner}})
    endif()
  else()
    string(REGEX MATCH "^(tests|bench|fuzz)/(.*)$" m "${file}")
    if(NOT m)
      continue()
    endif()
    set(area ${CMAKE_MATCH_1})
    quorvel_layer_owner(owner "${CMAKE_MATCH_2}")
    if(NOT owner)
      continue()  # not the tests of a library (the test's own data, say)
    endif()
    set(windows_file ON)  # tests may reach the platform behind #ifdef _WIN32
    set(allowed ${owner} ${QUORVEL_LAYER_WUSES_${owner}} tests/support tests/fixture bench/common fuzz/common)
    get_filename_component(own_dir ${file} DIRECTORY)
    list(APPEND allowed ${area}/${owner} ${own_dir})
    if(area STREQUAL "fuzz")
      list(APPEND allowed tests/${owner})  # its library's test helpers
    endif()
  endif()
  math(EXPR checked "${checked} + 1")

  file(STRINGS ${SOURCE_DIR}/${file} lines ENCODING UTF-8)
  set(n 0)
  foreach(line IN LISTS lines)
    math(EXPR n "${n} + 1")
    if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*([<\"])([^>\"]+)[>\"]")
      continue()
    endif()
    set(quote "${CMAKE_MATCH_1}")
    set(inc "${CMAKE_MATCH_2}")
    set(why "")
    string(TOLOWER "${inc}" inc_lower)
    if(inc MATCHES "(^|/)\\.\\.(/|$)")
      set(why "climbs out of its folder with ..")
    elseif(inc_lower STREQUAL "windows.h" AND NOT file STREQUAL win32_home)
      set(why "includes <windows.h> itself: include \"${win32_home}\"")
    elseif(NOT windows_file AND (inc MATCHES "${win32_headers}" OR (quote STREQUAL "<" AND inc_lower MATCHES "${windows_headers}")))
      set(why "a portable file includes a Windows header: move the code to a *_win.cpp file")
    elseif(inc MATCHES "/" AND (quote STREQUAL "\"" OR EXISTS ${SOURCE_DIR}/${inc}))
      # An angle include of a file of our own folders is held to the same
      # table; one the tree does not hold (<net/if.h>, <sys/socket.h>) is the
      # system's.
      quorvel_layer_owner(target "${inc}")
      if(NOT target)
        # Not a library: only the file's own test area may be named.
        set(ok OFF)
        foreach(a IN LISTS allowed)
          string(LENGTH "${a}/" len)
          string(SUBSTRING "${inc}" 0 ${len} head)
          if(head STREQUAL "${a}/")
            set(ok ON)
          endif()
        endforeach()
        string(REGEX MATCH "^[^/]+" first "${inc}")
        if(NOT ok AND IS_DIRECTORY ${SOURCE_DIR}/${first})
          set(why "names a folder it may not use (docs/LAYERS.md)")
        endif()
      elseif(NOT target IN_LIST allowed)
        set(why "${owner}/ may not use ${target}/ (docs/LAYERS.md)")
      endif()
    endif()
    if(why)
      if(quote STREQUAL "<")
        set(shown "<${inc}>")
      else()
        set(shown "\"${inc}\"")
      endif()
      message("${file}:${n}: #include ${shown}: ${why}")
      math(EXPR faults "${faults} + 1")
    endif()
  endforeach()
endforeach()

if(faults GREATER 0)
  message(FATAL_ERROR "${faults} include(s) cross the layers (${checked} files checked)")
endif()
message("layers hold: ${checked} files checked")
