# Installs the library, builds the consumer against the installed package and
# compares its output with the expected text.
set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "failed: ${ARGN}\n${out}")
  endif()
endfunction()

function(expect_output program)
  if(EMULATOR)
    set(program ${EMULATOR} ${program})
  endif()
  execute_process(COMMAND ${program} RESULT_VARIABLE status OUTPUT_VARIABLE out)
  string(REPLACE "\r\n" "\n" out "${out}")
  file(READ ${EXPECTED} expected)
  if(NOT status EQUAL 0 OR NOT out STREQUAL expected)
    message(FATAL_ERROR "${program} exited ${status} and printed:\n${out}\nexpected:\n${expected}")
  endif()
endfunction()

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

# The programs are installed into bin/ and run from there: the trace controller
# shows the trace status of a key.
set(qeltrace ${prefix}/bin/qeltrace${CMAKE_EXECUTABLE_SUFFIX})
if(TOOLCHAIN)
  set(qeltrace ${prefix}/bin/qeltrace.exe)
endif()
execute_process(COMMAND ${EMULATOR} ${qeltrace} -key QELINSTALLED RESULT_VARIABLE status OUTPUT_VARIABLE out)
if(NOT status EQUAL 0 OR NOT out MATCHES "Trace Status")
  message(FATAL_ERROR "the installed ${qeltrace} exited ${status} and printed:\n${out}")
endif()

set(configure -G ${GENERATOR} -DCMAKE_MAKE_PROGRAM=${MAKE_PROGRAM} -S ${SOURCE_DIR} -B ${WORK_DIR}/build
    -Dvrnqel43_DIR=${prefix}/${LIBDIR}/cmake/vrnqel43)
if(TOOLCHAIN)
  list(APPEND configure -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN} "-DCMAKE_EXE_LINKER_FLAGS=-static")
endif()
if(SANITIZE)
  list(APPEND configure "-DCMAKE_CXX_FLAGS=-fsanitize=${SANITIZE}")
endif()
run(${CMAKE_COMMAND} ${configure})
run(${CMAKE_COMMAND} --build ${WORK_DIR}/build)

if(TOOLCHAIN)
  # Windows finds the DLL next to the program.
  file(COPY ${prefix}/bin/vrnqel43.dll DESTINATION ${WORK_DIR}/build)
  expect_output(${WORK_DIR}/build/consumer.exe)
  return()
endif()
set(ENV{LD_LIBRARY_PATH} ${prefix}/${LIBDIR})
expect_output(${WORK_DIR}/build/consumer)

# The same program through pkg-config.
set(ENV{PKG_CONFIG_PATH} ${prefix}/${LIBDIR}/pkgconfig)
execute_process(COMMAND pkg-config --cflags --libs vrnqel43 OUTPUT_VARIABLE flags
                OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "pkg-config does not know vrnqel43")
endif()
separate_arguments(flags UNIX_COMMAND "${flags}")
set(sanitize_flag "")
if(SANITIZE)
  set(sanitize_flag -fsanitize=${SANITIZE})
endif()
run(${CXX} -std=c++17 ${sanitize_flag} ${SOURCE_DIR}/consumer.cpp ${flags} -o ${WORK_DIR}/consumer-pc)
expect_output(${WORK_DIR}/consumer-pc)
