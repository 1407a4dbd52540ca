# Converts a UTF-8 file to CCSID and back with qelconv and compares the result with the
# original byte for byte. SIZE large repeats the file past the tool's 1 MiB pieces.
# With SAMPLE (a program writing <utf-8 file> <CCSID file>), the original and the
# expected CCSID form come from it; with EXPECTED, that file is the expected CCSID form.
# The tool's CCSID form must equal the expected one; without one, it must at least be
# shorter than the UTF-8 text (the EBCDIC text is converted at all).
# Variables: PROGRAM, EMULATOR (may be empty), CCSID, SIZE, INPUT, WORK, SAMPLE, EXPECTED.
file(MAKE_DIRECTORY ${WORK})
if(SAMPLE)
  execute_process(COMMAND ${EMULATOR} ${SAMPLE} ${WORK}/original.txt ${WORK}/expected.bin RESULT_VARIABLE code)
  if(NOT code STREQUAL "0")
    message(FATAL_ERROR "${SAMPLE} ended with ${code}")
  endif()
  set(EXPECTED ${WORK}/expected.bin)
elseif(SIZE STREQUAL "large")
  file(READ ${INPUT} text)
  string(REPEAT "${text}" 20000 text)
  file(WRITE ${WORK}/original.txt "${text}")
else()
  file(COPY_FILE ${INPUT} ${WORK}/original.txt)  # as it is: a text of CMake loses its NUL bytes
endif()
foreach(step "1208;${CCSID};original.txt;converted.bin" "${CCSID};1208;converted.bin;back.txt")
  list(GET step 0 from)
  list(GET step 1 to)
  list(GET step 2 in)
  list(GET step 3 out)
  execute_process(COMMAND ${EMULATOR} ${PROGRAM} -from ${from} -to ${to}
                  INPUT_FILE ${WORK}/${in} OUTPUT_FILE ${WORK}/${out} RESULT_VARIABLE code)
  if(NOT code STREQUAL "0")
    message(FATAL_ERROR "qelconv -from ${from} -to ${to} ended with ${code}")
  endif()
endforeach()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/original.txt ${WORK}/back.txt RESULT_VARIABLE differ)
if(differ)
  message(FATAL_ERROR "the round trip through CCSID ${CCSID} changed the text")
endif()
if(EXPECTED)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${EXPECTED} ${WORK}/converted.bin RESULT_VARIABLE differ)
  if(differ)
    message(FATAL_ERROR "the text in CCSID ${CCSID} (${WORK}/converted.bin) is not the expected ${EXPECTED}")
  endif()
  return()
endif()
file(SIZE ${WORK}/original.txt original_size)
file(SIZE ${WORK}/converted.bin converted_size)
if(converted_size GREATER_EQUAL original_size)
  message(FATAL_ERROR "the EBCDIC form is not shorter than UTF-8: was it converted?")
endif()
