# Runs the layering check over a small tree (data/) in which each listed line
# crosses the layers in one way, and expects exactly those lines reported
# (a system header that shares a folder's name, <net/if.h>, is not one).
#
#   cmake -DCHECKER=<CheckLayers.cmake> -P CheckLayersSelfTest.cmake
cmake_policy(VERSION 3.25)
set(expected
  "app/core/Scan.cpp:4: #include \"treeview/Tree.h\": app/core/ may not use treeview/"
  "controls/Spin.cpp:2: #include \"vcl/Classes.h\": controls/ may not use vcl/"
  "net/Climb.cpp:2: #include \"../xml/Xml.h\": climbs out"
  "net/Direct_win.cpp:1: #include <windows.h>: includes <windows.h> itself"
  "net/Sock.cpp:1: #include \"rtl/Win32.h\": a portable file includes a Windows header"
  "net/Sock.cpp:2: #include <WinSock2.h>: a portable file includes a Windows header"
  "tests/treeview/TreeTest.cpp:5: #include \"tests/net/Fake.h\": names a folder it may not use"
  "tests/treeview/TreeTest.cpp:6: #include \"vcl/Classes.h\": treeview/ may not use vcl/"
  "treeview/Tree.cpp:3: #include \"vcl/Classes.h\": treeview/ may not use vcl/"
  "treeview/Tree.cpp:4: #include <vcl/Classes.h>: treeview/ may not use vcl/")

execute_process(
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_CURRENT_LIST_DIR}/data -P ${CHECKER}
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
set(report "${out}${err}")
if(rc EQUAL 0)
  message(FATAL_ERROR "the check passed a tree with forbidden includes:\n${report}")
endif()

string(REGEX MATCHALL "[^\n]*:[0-9]+: #include [^\n]*" found "${report}")
foreach(line IN LISTS expected)
  set(hit OFF)
  foreach(f IN LISTS found)
    string(FIND "${f}" "${line}" at)
    if(at EQUAL 0)
      set(hit ON)
    endif()
  endforeach()
  if(NOT hit)
    message(SEND_ERROR "not reported: ${line}")
  endif()
endforeach()
list(LENGTH expected n_expected)
list(LENGTH found n_found)
if(NOT n_found EQUAL n_expected)
  message(SEND_ERROR "${n_found} faults reported, ${n_expected} expected:\n${report}")
endif()
