# Included by ctest (cmake/Testing.cmake writes the caller): gives the label
# `threaded` to the cases of the declared threaded suites of one test program.
#   quorvel_program  the test program
#   quorvel_suites   its declared suites (`*` for any letters)
#   quorvel_cmake    the cmake program
#   quorvel_tests    its discovered cases, "Suite.Case" or "Prefix/Suite.Case/N";
#                    undefined until the program is built
if(NOT quorvel_suites OR NOT quorvel_tests)
  return()
endif()
set(quorvel_threaded)
foreach(quorvel_suite IN LISTS quorvel_suites)
  string(REPLACE "*" "[A-Za-z0-9_]*" quorvel_re "${quorvel_suite}")
  set(quorvel_found FALSE)
  foreach(quorvel_test IN LISTS quorvel_tests)
    if(quorvel_test MATCHES "^([A-Za-z0-9_]+/)?${quorvel_re}\\.")
      list(APPEND quorvel_threaded "${quorvel_test}")
      set(quorvel_found TRUE)
    endif()
  endforeach()
  if(NOT quorvel_found)
    # A failing case that says what is wrong: the declaration names no suite.
    add_test("${quorvel_program}: threaded suite ${quorvel_suite} has no cases" "${quorvel_cmake}" -E false)
    set_tests_properties("${quorvel_program}: threaded suite ${quorvel_suite} has no cases" PROPERTIES LABELS threaded)
  endif()
endforeach()
if(quorvel_threaded)
  set_tests_properties(${quorvel_threaded} PROPERTIES LABELS threaded)
endif()
