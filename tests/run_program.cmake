# Runs a program and compares its standard output, standard error and exit code with
# expected values. Variables: PROGRAM, EMULATOR (may be empty), ARGS (a list), INPUT
# (a file for standard input, may be empty), OUTPUT (a file that standard output goes
# to instead of being compared, such as /dev/full; may be empty), ENV (a list of NAME=value), EXPECTED (the
# path of the expected files without extension: .out and .err, each missing file
# standing for no output), EXIT (the expected exit code), MASK (a regular expression
# with one group, may be empty: each match, such as a label with a source line number,
# is compared as the group's text followed by "#"), HOST (may be empty: where
# <expected>.<host>.out or .err exists, it is what this host's program writes, such as
# the host's own text for an error).
# Windows programs write CR LF line ends; they are compared as LF.
set(command ${CMAKE_COMMAND} -E env ${ENV} ${EMULATOR} ${PROGRAM} ${ARGS})
set(streams OUTPUT_VARIABLE out)
if(OUTPUT)
  set(streams OUTPUT_FILE ${OUTPUT})
endif()
if(INPUT)
  list(APPEND streams INPUT_FILE ${INPUT})
endif()
execute_process(COMMAND ${command} ${streams} RESULT_VARIABLE code ERROR_VARIABLE err)

set(failed FALSE)
foreach(stream out err)
  string(REPLACE "\r\n" "\n" actual "${${stream}}")
  if(MASK)
    string(REGEX REPLACE "${MASK}" "\\1#" actual "${actual}")
  endif()
  set(expected "")
  if(HOST AND EXISTS ${EXPECTED}.${HOST}.${stream})
    file(READ ${EXPECTED}.${HOST}.${stream} expected)
  elseif(EXISTS ${EXPECTED}.${stream})
    file(READ ${EXPECTED}.${stream} expected)
  endif()
  if(NOT actual STREQUAL expected)
    file(WRITE ${EXPECTED_ACTUAL_DIR}/actual.${stream} "${actual}")
    message("standard ${stream} differs from ${EXPECTED}.${stream}; got (in "
            "${EXPECTED_ACTUAL_DIR}/actual.${stream}):\n${actual}")
    set(failed TRUE)
  endif()
endforeach()
if(NOT code STREQUAL EXIT)
  message("exit code ${code}, expected ${EXIT}")
  set(failed TRUE)
endif()
if(failed)
  message(FATAL_ERROR "output of ${PROGRAM} ${ARGS} differs")
endif()
