# The layer check: every folder of src/ uses only the folders before it in LAYERS (and itself).
# Reads each `#include "..."` of every source under SRC and fails, naming the file, the line and
# both folders, when an include climbs to a later layer or names a folder that is not a layer.
#
#   cmake -DSRC=<src folder> -P CheckLayers.cmake
cmake_minimum_required(VERSION 3.21)

set(LAYERS platform values data settings runtime lookups declaration import export licence app
    cli gui)

if(NOT SRC)
  message(FATAL_ERROR "CheckLayers: SRC is not set")
endif()
get_filename_component(SRC "${SRC}" ABSOLUTE)
if(NOT IS_DIRECTORY "${SRC}")
  message(FATAL_ERROR "CheckLayers: ${SRC} is not a folder")
endif()

file(GLOB_RECURSE sources RELATIVE "${SRC}" "${SRC}/*.h" "${SRC}/*.cpp")
list(SORT sources)
set(faults 0)
set(checked 0)
foreach(rel ${sources})
  string(REGEX MATCH "^[^/]+" own "${rel}")
  list(FIND LAYERS "${own}" ownIndex)
  if(ownIndex EQUAL -1)
    message(SEND_ERROR "src/${rel}: folder '${own}' is not a layer (layers: ${LAYERS})")
    math(EXPR faults "${faults} + 1")
    continue()
  endif()
  file(STRINGS "${SRC}/${rel}" lines)
  set(lineNo 0)
  foreach(line IN LISTS lines)
    math(EXPR lineNo "${lineNo} + 1")
    if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\"")
      continue()
    endif()
    set(target "${CMAKE_MATCH_1}")
    math(EXPR checked "${checked} + 1")
    if(NOT target MATCHES "/")
      message(SEND_ERROR "src/${rel}:${lineNo}: includes \"${target}\" without its folder")
      math(EXPR faults "${faults} + 1")
      continue()
    endif()
    string(REGEX MATCH "^[^/]+" used "${target}")
    list(FIND LAYERS "${used}" usedIndex)
    if(usedIndex EQUAL -1)
      message(SEND_ERROR
        "src/${rel}:${lineNo}: includes \"${target}\" from '${used}', which is not a layer")
      math(EXPR faults "${faults} + 1")
    elseif(usedIndex GREATER ownIndex)
      message(SEND_ERROR
        "src/${rel}:${lineNo}: '${own}' includes \"${target}\" from '${used}', a later layer "
        "('${own}' may use only the folders before it)")
      math(EXPR faults "${faults} + 1")
    endif()
  endforeach()
endforeach()

list(LENGTH sources fileCount)
if(faults GREATER 0)
  message(FATAL_ERROR "Layer check: ${faults} include(s) against the layer order")
endif()
message(STATUS "Layer check: ${fileCount} files, ${checked} includes, all in layer order")
