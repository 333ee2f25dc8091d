# The layer check's own test: a tree in layer order passes; a tree with an include that climbs
# fails, and the message names the file, the line and both folders.
#
#   cmake -DWORK=<scratch folder> -DCHECK=<CheckLayers.cmake> -P CheckLayersSelfTest.cmake
cmake_minimum_required(VERSION 3.21)

file(REMOVE_RECURSE "${WORK}")
file(WRITE "${WORK}/src/values/Values.h" "#pragma once\n#include <QString>\n")
file(WRITE "${WORK}/src/runtime/Runtime.h" "#pragma once\n#include \"values/Values.h\"\n")
file(WRITE "${WORK}/src/declaration/Header.cpp"
  "#include \"runtime/Runtime.h\"\n#include \"declaration/Header.h\"\n")

function(run_check expectOk what)
  execute_process(COMMAND "${CMAKE_COMMAND}" -DSRC=${WORK}/src -P "${CHECK}"
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  set(all "${out}${err}")
  if(expectOk AND NOT rc EQUAL 0)
    message(FATAL_ERROR "${what}: the check failed on a tree in layer order:\n${all}")
  elseif(NOT expectOk AND rc EQUAL 0)
    message(FATAL_ERROR "${what}: the check passed a tree with a climbing include:\n${all}")
  endif()
  set(CHECK_OUTPUT "${all}" PARENT_SCOPE)
endfunction()

run_check(TRUE "in order")

# values/ may not use runtime/: line 2 of values/Numbers.cpp climbs.
file(WRITE "${WORK}/src/values/Numbers.cpp"
  "#include \"values/Values.h\"\n#include \"runtime/Runtime.h\"\n")
run_check(FALSE "climbing include")
foreach(piece "src/values/Numbers.cpp:2" "'values'" "'runtime'")
  string(FIND "${CHECK_OUTPUT}" "${piece}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the failure does not name ${piece}:\n${CHECK_OUTPUT}")
  endif()
endforeach()
file(REMOVE "${WORK}/src/values/Numbers.cpp")

# A folder that is not a layer is refused too.
file(WRITE "${WORK}/src/misc/Helper.cpp" "#include \"values/Values.h\"\n")
run_check(FALSE "unknown folder")
file(REMOVE_RECURSE "${WORK}/src/misc")

# An include of an unknown folder.
file(WRITE "${WORK}/src/runtime/Log.cpp" "#include \"config/Settings.h\"\n")
run_check(FALSE "include of an unknown folder")

message(STATUS "Layer check self-test passed")
