# cmake -DLISTER=<tool;args> -DLIBRARY=<file> -DNAMES=<names> -P check_exports.cmake
# Checks that each of NAMES is exported under its plain name, and that the library
# exports nothing but its own interface (every exported name mentions qel or is one of
# NAMES). Unoptimised builds also export the standard library's template
# instantiations (_ZSt, _ZNSt, _ZNKSt), which belong to no interface.
cmake_minimum_required(VERSION 3.20)
execute_process(COMMAND ${LISTER} ${LIBRARY} OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "could not list the exports of ${LIBRARY}")
endif()

# nm -D: "<address> <type> name"; objdump -p: "[ordinal] name" in the name-pointer table
set(exported "")
string(REGEX MATCHALL "[^\n]+" lines "${listing}")
foreach(line IN LISTS lines)
  if(line MATCHES "^([0-9a-f]+ [A-Za-z]|\t\\[ *[0-9]+\\]) ([^ ]+)$")
    list(APPEND exported ${CMAKE_MATCH_2})
  endif()
endforeach()

foreach(name IN LISTS NAMES)
  if(NOT name IN_LIST exported)
    list(APPEND missing ${name})
  endif()
endforeach()
if(missing)
  message(FATAL_ERROR "not exported under their plain names: ${missing}")
endif()

foreach(name IN LISTS exported)
  string(TOLOWER "${name}" lower)
  # AddressSanitizer adds an "__odr_asan." indicator beside every exported variable.
  string(REGEX REPLACE "^__odr_asan\\." "" plain "${name}")
  if(NOT lower MATCHES "qel" AND NOT name MATCHES "^_ZN?K?St" AND NOT plain IN_LIST NAMES)
    list(APPEND foreign ${name})
  endif()
endforeach()
if(foreign)
  message(FATAL_ERROR "exported but not part of the interface: ${foreign}")
endif()
list(LENGTH exported count)
message(STATUS "${count} symbols exported")
