# The HTML API reference: Doxygen over the public headers (include/) and the pages in
# docs/api/. Every public name must be documented: a Doxygen warning fails the build,
# so the target is part of the default build whenever QEL_BUILD_DOCS is on.
find_package(Doxygen)

set(QEL_BUILD_DOCS_DEFAULT OFF)
if(DOXYGEN_FOUND AND NOT CMAKE_CROSSCOMPILING)
  set(QEL_BUILD_DOCS_DEFAULT ON)
endif()
option(QEL_BUILD_DOCS "Build the HTML API reference with Doxygen (warnings fail the build)"
       ${QEL_BUILD_DOCS_DEFAULT})

if(QEL_BUILD_DOCS)
  if(NOT DOXYGEN_FOUND)
    message(FATAL_ERROR "QEL_BUILD_DOCS needs doxygen (Debian package doxygen)")
  endif()
  # The input filter that puts the enumerations' table rows where the headers include them.
  find_package(Python3 REQUIRED COMPONENTS Interpreter)

  set(QEL_DOCS_OUTPUT_DIR ${CMAKE_BINARY_DIR}/docs)
  configure_file(${PROJECT_SOURCE_DIR}/docs/Doxyfile.in ${QEL_DOCS_OUTPUT_DIR}/Doxyfile @ONLY)
  file(GLOB QEL_DOCS_INPUTS CONFIGURE_DEPENDS
       ${PROJECT_SOURCE_DIR}/include/*.h ${PROJECT_SOURCE_DIR}/include/*.inc
       ${PROJECT_SOURCE_DIR}/docs/api/*.md)

  # The stamp is written only when Doxygen succeeds, so that a run that warned is
  # repeated by the next build; the old pages go first, so that none outlives its source.
  set(QEL_DOCS_STAMP ${QEL_DOCS_OUTPUT_DIR}/html.stamp)
  add_custom_command(OUTPUT ${QEL_DOCS_STAMP}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${QEL_DOCS_STAMP}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${QEL_DOCS_OUTPUT_DIR}/html
    COMMAND Doxygen::doxygen ${QEL_DOCS_OUTPUT_DIR}/Doxyfile
    COMMAND ${CMAKE_COMMAND} -E touch ${QEL_DOCS_STAMP}
    DEPENDS ${QEL_DOCS_INPUTS} ${QEL_DOCS_OUTPUT_DIR}/Doxyfile
            ${PROJECT_SOURCE_DIR}/tools/doxygen-inline-tables.py
    WORKING_DIRECTORY ${QEL_DOCS_OUTPUT_DIR}
    COMMENT "API reference (Doxygen; a warning fails the build)"
    VERBATIM)
  add_custom_target(docs ALL DEPENDS ${QEL_DOCS_STAMP})

  install(DIRECTORY ${QEL_DOCS_OUTPUT_DIR}/html/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/html
          COMPONENT dev)
endif()
