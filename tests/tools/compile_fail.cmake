# A file that must not compile: it compiles with TVX_CONTROL defined (so the
# test cannot pass on a typo) and fails without.
#   cmake -DCOMPILER=<c++> -DROOT=<tree> -DSOURCE=<file> -P compile_fail.cmake
set(flags -std=c++20 -fsyntax-only -I${ROOT}/library/include -I${ROOT}/library)
execute_process(COMMAND ${COMPILER} ${flags} -DTVX_CONTROL ${SOURCE}
                RESULT_VARIABLE control ERROR_VARIABLE controlErrors)
if(NOT control EQUAL 0)
  message(FATAL_ERROR "${SOURCE}: the control does not compile:\n${controlErrors}")
endif()
execute_process(COMMAND ${COMPILER} ${flags} ${SOURCE} RESULT_VARIABLE result ERROR_QUIET)
if(result EQUAL 0)
  message(FATAL_ERROR "${SOURCE} compiles, and must not")
endif()
message(STATUS "${SOURCE} does not compile, as it must not")
