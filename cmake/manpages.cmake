# The manual pages: each program's section 1 page beside its source, with the programs
# (component tools), and the library's overview in section 7, with the headers
# (component dev). Linux only: Windows has no man.
if(WIN32)
  return()
endif()

set(QEL_MAN_PROGRAMS qeltrace qelini qelconv)
foreach(program ${QEL_MAN_PROGRAMS})
  install(FILES ${PROJECT_SOURCE_DIR}/apps/${program}/${program}.1
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT tools)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/docs/vrnqel43.7 DESTINATION ${CMAKE_INSTALL_MANDIR}/man7 COMPONENT dev)

# Each program's page against what the program says of itself and its source, the
# library's page against the sources; then the installed pages, rendered by man, groff
# and lexgrog.
if(QEL_BUILD_TESTS AND NOT CMAKE_CROSSCOMPILING)
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  set(test_script ${PROJECT_SOURCE_DIR}/tests/apps/man_pages_test.py)
  set(installed_pages man7/vrnqel43.7)
  foreach(program ${QEL_MAN_PROGRAMS})
    add_test(NAME apps.man_page.${program}
      COMMAND Python3::Interpreter ${test_script} program ${PROJECT_SOURCE_DIR}/apps/${program}/${program}.1
              $<TARGET_FILE:${program}> ${PROJECT_SOURCE_DIR}/apps/${program}/${program}.cpp)
    list(APPEND installed_pages man1/${program}.1)
  endforeach()
  add_test(NAME apps.man_page.vrnqel43
    COMMAND Python3::Interpreter ${test_script} library ${PROJECT_SOURCE_DIR}/docs/vrnqel43.7 ${PROJECT_SOURCE_DIR})
  add_test(NAME apps.man_page.installed
    COMMAND Python3::Interpreter ${test_script} installed ${CMAKE_COMMAND} ${PROJECT_BINARY_DIR}
            ${CMAKE_INSTALL_MANDIR} ${installed_pages})
endif()
