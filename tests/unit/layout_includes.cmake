# The layout of the sources as a rule of who may include whom: every file under ROOT is read,
# and each of its includes is checked against the rule of the folder it is in. Fails, listing
# each include that breaks its folder's rule.
#   cmake -DROOT=<src folder> -P <this>
#
# Folders are matched by the longest prefix; a folder may include itself and what its rule
# does not forbid. "toolkit" forbids any system include but the C++ standard library's (names
# without ".h") and the compiler's vector intrinsics: no Qt, no Win32, no X, no POSIX.
cmake_minimum_required(VERSION 3.25)

# folder | the project folders it may not include | whether the toolkit is forbidden
set(rules
    "feed/|app/ ticker/ options/ platform/|toolkit"
    "text/|app/ ticker/ options/ feed/ platform/|toolkit"
    "platform/engine/|app/ ticker/ options/ feed/ platform/qt/ platform/win32/ platform/posix/ platform/x11/ platform/sway/|toolkit"
    "platform/forms/|app/ ticker/ options/ feed/ platform/qt/ platform/win32/ platform/posix/ platform/x11/ platform/sway/|toolkit"
    "platform/services/|app/ ticker/ options/ feed/ platform/qt/ platform/win32/ platform/posix/ platform/x11/ platform/sway/|toolkit"
    "platform/program/|app/ ticker/ options/ feed/ platform/engine/ platform/qt/ platform/win32/ platform/posix/ platform/x11/ platform/sway/|toolkit"
    "ticker/|app/ platform/engine/ platform/qt/ platform/win32/ platform/posix/ platform/x11/ platform/sway/|toolkit"
    "options/|app/ ticker/ feed/ platform/engine/ platform/qt/ platform/win32/ platform/posix/ platform/x11/ platform/sway/|toolkit"
    "platform/qt/|app/ ticker/ options/ feed/ platform/win32/|"
    "platform/win32/|app/ ticker/ options/ feed/ platform/qt/ platform/x11/ platform/sway/|"
    "platform/posix/|app/ ticker/ options/ feed/ platform/engine/ platform/qt/ platform/win32/|"
    "platform/x11/|app/ ticker/ options/ feed/ platform/engine/ platform/win32/|"
    "platform/sway/|app/ ticker/ options/ feed/ platform/engine/ platform/win32/|toolkit"
    "app/||")

file(GLOB_RECURSE files RELATIVE ${ROOT} ${ROOT}/*.h ${ROOT}/*.cpp)
if(NOT files)
  message(FATAL_ERROR "no sources under ${ROOT}")
endif()
set(broken)
foreach(file IN LISTS files)
  set(forbidden "")
  set(toolkit "")
  set(longest -1)
  foreach(rule IN LISTS rules)
    string(REPLACE "|" ";" parts "${rule}")
    list(GET parts 0 folder)
    string(LENGTH "${folder}" length)
    string(FIND "${file}" "${folder}" at)
    if(at EQUAL 0 AND length GREATER longest)
      set(longest ${length})
      list(GET parts 1 forbidden)
      list(GET parts 2 toolkit)
    endif()
  endforeach()
  if(longest LESS 0)
    list(APPEND broken "${file} is in no folder of the layout")
    continue()
  endif()
  string(REPLACE " " ";" forbidden "${forbidden}")
  file(STRINGS ${ROOT}/${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"].*" "\\1" included
           "${line}")
    if(line MATCHES "include[ \t]*<")
      if(toolkit AND included MATCHES "(^Q|\\.h$)" AND NOT included STREQUAL "emmintrin.h")
        list(APPEND broken "${file} includes <${included}>")
      endif()
      continue()
    endif()
    foreach(folder IN LISTS forbidden)
      string(FIND "${included}" "${folder}" at)
      if(at EQUAL 0)
        list(APPEND broken "${file} includes \"${included}\"")
      endif()
    endforeach()
  endforeach()
endforeach()
if(broken)
  list(JOIN broken "\n  " report)
  message(FATAL_ERROR "includes across the layout:\n  ${report}")
endif()
list(LENGTH files count)
message(STATUS "the ${count} sources include only what their folders may")
