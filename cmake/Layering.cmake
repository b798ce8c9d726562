# The folders each part of the tree may include, checked over every source file:
#   cmake -DSOURCE_DIR=<tree> -P cmake/Layering.cmake
# The plug-in and the simulated server meet in host/ (the boundary) and grammar/ (the configuration's key
# table and value rules: pure rules on the standard library alone, read by both). Within the plug-in,
# dependencies point one way: plugin -> commands -> chat, events -> delivery -> text -> host, with config
# beside text (read by the features, itself on host and grammar only). The configuration checker in sim/check
# reads config.json with the plug-in's own reads, so it alone of the simulator may include config/.

cmake_minimum_required(VERSION 3.25)

set(HERALDIX_LAYERS
  "host:host"
  "grammar:grammar"
  "config:host grammar config"
  "text:host grammar text"
  "delivery:host grammar config text delivery"
  "players:host grammar config text delivery players"
  "chat:host grammar config text delivery players chat"
  "events:host grammar config text delivery players events"
  "commands:host grammar config text delivery players chat events commands"
  "plugin:host grammar config text delivery players chat events commands plugin"
  "sim:host grammar sim"
  "sim/check:host grammar sim config"
)

if(NOT SOURCE_DIR)
  message(FATAL_ERROR "Layering.cmake: pass -DSOURCE_DIR=<source tree>")
endif()

# Every top-level folder of the tree: an include naming one of them is a project include.
file(GLOB top_entries LIST_DIRECTORIES true RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*)
set(project_folders "")
foreach(entry IN LISTS top_entries)
  if(IS_DIRECTORY ${SOURCE_DIR}/${entry} AND NOT entry MATCHES "^(\\.|build)")
    list(APPEND project_folders ${entry})
  endif()
endforeach()

set(violations "")
foreach(layer IN LISTS HERALDIX_LAYERS)
  string(REPLACE ":" ";" parts "${layer}")
  list(GET parts 0 folder)
  list(GET parts 1 allowed)
  string(REPLACE " " ";" allowed "${allowed}")
  file(GLOB_RECURSE sources ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.hpp ${SOURCE_DIR}/${folder}/*.cpp
       ${SOURCE_DIR}/${folder}/*.inl)
  foreach(source IN LISTS sources)
    file(RELATIVE_PATH relative ${SOURCE_DIR} ${source})
    # A file belongs to the deepest layer that names its folder (sim/check, not sim).
    set(owner "")
    foreach(candidate IN LISTS HERALDIX_LAYERS)
      string(REGEX REPLACE ":.*" "" candidate_folder "${candidate}")
      string(LENGTH "${candidate_folder}" candidate_length)
      string(LENGTH "${owner}" owner_length)
      if(relative MATCHES "^${candidate_folder}/" AND candidate_length GREATER owner_length)
        set(owner ${candidate_folder})
      endif()
    endforeach()
    if(NOT owner STREQUAL folder)
      continue()
    endif()
    file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]*)[>\"].*" "\\1" path "${line}")
      if(path MATCHES "(^|/)\\.\\./")
        list(APPEND violations "${relative}: ${path} (a relative include that leaves the folder)")
        continue()
      endif()
      string(REGEX MATCH "^[^/]+/" first "${path}")
      string(REGEX REPLACE "/$" "" first "${first}")
      if(first STREQUAL "" OR NOT first IN_LIST project_folders)
        continue()  # a system or third-party header
      endif()
      if(NOT first IN_LIST allowed)
        list(APPEND violations "${relative}: ${path} (${folder}/ may include only ${allowed})")
      endif()
    endforeach()
  endforeach()
endforeach()

if(violations)
  list(JOIN violations "\n  " report)
  message(FATAL_ERROR "includes across the layering:\n  ${report}")
endif()
message(STATUS "every include follows the layering")
