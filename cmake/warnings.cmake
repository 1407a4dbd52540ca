# The warnings of the project's own code: every target we write links qel_warnings (the
# library's families through qel_library_code, the programs, tests, examples, benchmarks
# and fuzzers); code built from others' sources, such as GoogleTest, keeps its own flags.
# QEL_WERROR turns the warnings into errors, as the test command builds.
add_library(qel_warnings INTERFACE)
target_compile_options(qel_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion $<$<BOOL:${QEL_WERROR}>:-Werror>)
