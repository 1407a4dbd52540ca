# The library is built from one object library per family, linked into the one shared
# library. A family declares the families it uses; the build then refuses an include of
# any family it did not declare, directly or through those it uses (tools/check_layers.py),
# so the layers of docs/ARCHITECTURE.md hold by construction.

# What all of the library's own code is compiled with: the public and internal headers,
# the generated tables, the export switch, and the warnings.
add_library(qel_library_code INTERFACE)
target_include_directories(qel_library_code INTERFACE
  ${PROJECT_SOURCE_DIR}/include ${PROJECT_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
target_compile_definitions(qel_library_code INTERFACE QEL_BUILDING_LIBRARY)
target_link_libraries(qel_library_code INTERFACE qel_warnings)
if(NOT WIN32 AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # Calls between the library's own exported functions may be inlined: nothing is
  # meant to replace them from outside (clang assumes this already).
  target_compile_options(qel_library_code INTERFACE -fno-semantic-interposition)
endif()

# qel_add_family(<name> [HEADERS <public headers>...] [USES <families>...] SOURCES <sources>...)
# The object library qel_<name>: its sources, the public headers in include/ that are its
# own, and the families it uses. Every family may use the host interface
# (platform/platform.h) and qel_base.h.
function(qel_add_family name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "HEADERS;USES;SOURCES")
  set(target qel_${name})
  add_library(${target} OBJECT ${arg_SOURCES})
  set_target_properties(${target} PROPERTIES POSITION_INDEPENDENT_CODE ON
    QEL_HEADERS "${arg_HEADERS}" QEL_USES "${arg_USES}")
  target_link_libraries(${target} PUBLIC qel_library_code)
  foreach(use IN LISTS arg_USES)
    target_link_libraries(${target} PUBLIC qel_${use})
  endforeach()
  target_link_libraries(vrnqel43 PRIVATE ${target})
  set_property(GLOBAL APPEND PROPERTY QEL_FAMILIES ${name})
endfunction()

# The families a family may include: itself and, transitively, what it uses.
function(qel_family_reach name out)
  set(reach ${name})
  set(queue ${name})
  while(queue)
    list(POP_FRONT queue current)
    get_target_property(uses qel_${current} QEL_USES)
    foreach(use IN LISTS uses)
      if(NOT use IN_LIST reach)
        list(APPEND reach ${use})
        list(APPEND queue ${use})
      endif()
    endforeach()
  endwhile()
  set(${out} ${reach} PARENT_SCOPE)
endfunction()

# After every family is declared: a table of the families for the checker, and a check
# of each family's files that its object library waits for.
function(qel_check_layers)
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  get_property(families GLOBAL PROPERTY QEL_FAMILIES)
  set(table "# family<TAB>target<TAB>its public headers<TAB>the families it may include<TAB>those it declares\n")
  foreach(name IN LISTS families)
    get_target_property(headers qel_${name} QEL_HEADERS)
    get_target_property(uses qel_${name} QEL_USES)
    qel_family_reach(${name} reach)
    list(JOIN headers " " headers)
    list(JOIN reach " " reach)
    list(JOIN uses " " uses)
    string(APPEND table "${name}\tqel_${name}\t${headers}\t${reach}\t${uses}\n")
  endforeach()
  string(REPLACE "<TAB>" "\t" table "${table}")
  set(table_file ${CMAKE_BINARY_DIR}/layers/families.txt)
  file(CONFIGURE OUTPUT ${table_file} CONTENT "${table}")
  foreach(name IN LISTS families)
    get_target_property(headers qel_${name} QEL_HEADERS)
    list(TRANSFORM headers PREPEND ${PROJECT_SOURCE_DIR}/include/)
    file(GLOB_RECURSE files CONFIGURE_DEPENDS
      ${PROJECT_SOURCE_DIR}/${name}/*.cpp ${PROJECT_SOURCE_DIR}/${name}/*.h ${PROJECT_SOURCE_DIR}/${name}/*.inc)
    set(stamp ${CMAKE_BINARY_DIR}/layers/${name}.checked)
    add_custom_command(OUTPUT ${stamp}
      COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/tools/check_layers.py
              ${table_file} ${name} ${PROJECT_SOURCE_DIR} ${files} ${headers}
      COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
      DEPENDS ${files} ${headers} ${table_file} ${PROJECT_SOURCE_DIR}/tools/check_layers.py
      COMMENT "Checking the includes of the ${name} family")
    add_custom_target(qel_${name}_layers DEPENDS ${stamp})
    add_dependencies(qel_${name} qel_${name}_layers)
  endforeach()
endfunction()
