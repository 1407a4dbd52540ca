#!/usr/bin/env bash
# Measures how much of the library the Linux tests run (line and branch coverage,
# with gcovr) and how large the tests are against the library. Extra arguments go to
# gcovr (e.g. --html-details build/coverage/index.html).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh

library_folders=(errors memory messages consoleui trace filesystem inifile codepage process util platform include apps)
dir=build/coverage
# Counters are updated atomically: the trace tests run threads at once.
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQEL_BUILD_EXAMPLES=OFF \
  "-DCMAKE_CXX_FLAGS=--coverage -fprofile-update=atomic" -DCMAKE_EXE_LINKER_FLAGS=--coverage \
  -DCMAKE_SHARED_LINKER_FLAGS=--coverage >/dev/null
cmake --build "$dir" -j "$(nproc)"
find "$dir" -name '*.gcda' -delete
# The export check is left out: gcov's runtime adds exports of its own.
ctest --test-dir "$dir" -j "$(nproc)" --timeout 300 -E '^exports[.]' >"$dir/ctest.log" ||
  { echo "coverage: tests failed, see $dir/ctest.log" >&2; exit 1; }

filters=()
for folder in "${library_folders[@]}"; do filters+=(--filter "$folder/"); done
gcovr --root . --object-directory "$dir" "${filters[@]}" --exclude-throw-branches \
  --exclude-unreachable-branches --print-summary --output "$dir/coverage.txt" "$@"

# Lines of the hand-written C++ sources (generated tables are data, not code).
count_lines() {
  find "$@" -type f \( -name '*.cpp' -o -name '*.h' \) -print0 2>/dev/null | xargs -0 cat | wc -l
}
existing=()
for folder in "${library_folders[@]}"; do [ -d "$folder" ] && existing+=("$folder"); done
library=$(count_lines "${existing[@]}")
tests=$(count_lines tests)
echo "size: tests $tests lines, library $library lines ($((100 * tests / library))%)"
