# Refuses includes that climb out of their folder ("../shell/x.h"): they
# reach past the include roots that hold each layer to its place.
#   cmake -DROOT=<folder> -P check_includes.cmake
if(NOT ROOT)
  message(FATAL_ERROR "usage: cmake -DROOT=<folder> -P check_includes.cmake")
endif()
file(GLOB_RECURSE sources LIST_DIRECTORIES false
     ${ROOT}/app/*.h ${ROOT}/app/*.cpp ${ROOT}/library/*.h ${ROOT}/library/*.cpp
     ${ROOT}/tests/*.h ${ROOT}/tests/*.cpp ${ROOT}/bench/*.h ${ROOT}/bench/*.cpp)
set(bad "")
foreach(source IN LISTS sources)
  file(STRINGS ${source} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<][^\">]*\\.\\.[/\\\\]")
  foreach(line IN LISTS lines)
    string(APPEND bad "\n  ${source}: ${line}")
  endforeach()
endforeach()
if(bad)
  message(FATAL_ERROR "Includes that leave their folder (name the folder from its include root instead):${bad}")
endif()
list(LENGTH sources count)
message(STATUS "${count} files, no include leaves its folder")
