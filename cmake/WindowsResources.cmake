# Windows resources for program targets.
#
#   quorvel_add_windows_resources(<target> [MANIFEST] [RC <file.rc>...])
#
# MANIFEST links vcl/res/manifest.rc into the executable: common controls 6,
# system DPI awareness, asInvoker and the supported Windows versions. RC adds
# the target's own resource scripts. A program has one manifest: its own
# scripts must not hold another resource 1 of type 24. Nothing happens on
# non-Windows builds.
if(WIN32)
  enable_language(RC)
endif()

set(QUORVEL_VCL_RES_DIR ${CMAKE_CURRENT_LIST_DIR}/../vcl/res)
cmake_path(NORMAL_PATH QUORVEL_VCL_RES_DIR)

function(quorvel_add_windows_resources target)
  cmake_parse_arguments(ARG "MANIFEST" "" "RC" ${ARGN})
  if(NOT WIN32)
    return()
  endif()
  if(ARG_MANIFEST)
    target_sources(${target} PRIVATE ${QUORVEL_VCL_RES_DIR}/manifest.rc)
    # windres does not track the files a script pulls in.
    set_property(SOURCE ${QUORVEL_VCL_RES_DIR}/manifest.rc TARGET_DIRECTORY ${target} APPEND PROPERTY
      OBJECT_DEPENDS ${QUORVEL_VCL_RES_DIR}/Quorvel.manifest)
  endif()
  if(ARG_RC)
    target_sources(${target} PRIVATE ${ARG_RC})
  endif()
endfunction()
