#!/usr/bin/env bash
# Static analysis of the library's own code (the families, the platform layer and the
# installed programs in apps/; not the tests, benchmarks, fuzzers or examples):
# clang-tidy with the checks of .clang-tidy, then cppcheck with
# tools/cppcheck-suppressions.txt. Both read the compile database of build/tidy;
# clang-tidy also reads that of the MinGW-w64 build in build/tidy-win.
# Exits non-zero with one line naming the tool that found something; the findings
# are printed above that line.
set -uo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh || exit 1
for program in cmake ninja g++ x86_64-w64-mingw32-g++-posix python3 clang++-14 clang-tidy-14 run-clang-tidy-14 cppcheck; do
  command -v "$program" >/dev/null 2>&1 || { echo "run-static-analysis: $program is missing" >&2; exit 1; }
done

jobs=2
dir=build/tidy
log=$dir/static-analysis.log
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=g++ \
  -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DQEL_BUILD_TESTS=OFF -DQEL_BUILD_EXAMPLES=OFF \
  -DQEL_BUILD_BENCHMARKS=OFF -DQEL_BUILD_FUZZERS=OFF >/dev/null ||
  { echo "run-static-analysis: cmake could not configure $dir" >&2; exit 1; }
mkdir -p "$dir/cppcheck"
# The sources include the generated message and code-page tables.
cmake --build "$dir" --target qel_builtin_messages qel_codepage_data >/dev/null ||
  { echo "run-static-analysis: the generated tables could not be built" >&2; exit 1; }

# With tests and examples off, the database holds the library and the programs only.
root=$(pwd)
families="errors|memory|messages|consoleui|trace|filesystem|inifile|codepage|process|util|platform|apps"
if ! run-clang-tidy-14 -clang-tidy-binary "$(command -v clang-tidy-14)" -p "$dir" -j "$jobs" -quiet \
  "^$root/($families)/.*\.cpp\$" >"$log" 2>&1; then
  # The findings once each (a header's come from every source that includes it), uncoloured.
  sed 's/\x1b\[[^m]*m//g' "$log" | grep -e 'warning:' -e 'error:' | sort -u
  echo "run-static-analysis: clang-tidy found something (the whole output is in $log)" >&2
  exit 1
fi

# The same checks over the Windows build: the platform layer's win32 half and every
# branch the other sources take for Windows, read by clang for the MinGW target.
windows=build/tidy-win
cmake -S . -B "$windows" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
  -DQEL_BUILD_TESTS=OFF -DQEL_BUILD_EXAMPLES=OFF -DQEL_BUILD_BENCHMARKS=OFF -DQEL_BUILD_FUZZERS=OFF >/dev/null &&
  cmake --build "$windows" --target qel_builtin_messages qel_codepage_data >/dev/null &&
  python3 tools/mingw-compile-db.py "$windows" "$windows/clang" ||
  { echo "run-static-analysis: the Windows compile database could not be made in $windows" >&2; exit 1; }
if ! run-clang-tidy-14 -clang-tidy-binary "$(command -v clang-tidy-14)" -p "$windows/clang" -j "$jobs" -quiet \
  "^$root/($families)/.*\.cpp\$" >"$log.windows" 2>&1; then
  sed 's/\x1b\[[^m]*m//g' "$log.windows" | grep -e 'warning:' -e 'error:' | sort -u
  echo "run-static-analysis: clang-tidy found something in the Windows build (the whole output is in $log.windows)" >&2
  exit 1
fi

# Of the style checks, useStlAlgorithm is left out: whether a short loop or an
# algorithm reads better is a matter of taste, not a fault. codepage/converter_tables.cpp
# and codepage/reverse_tables.cpp are left to clang-tidy: they hold the generated
# code-page tables (1.7 and 1.4 MB), on which cppcheck spends many minutes and has
# nothing to find.
if ! cppcheck --project="$dir/compile_commands.json" --quiet -j "$jobs" \
  --enable=warning,style,performance,portability --std=c++17 --inline-suppr \
  --suppressions-list=tools/cppcheck-suppressions.txt --suppress=useStlAlgorithm --error-exitcode=1 \
  --cppcheck-build-dir="$dir/cppcheck" --template='{file}:{line}: {severity}: {message} [{id}]' \
  -i build -i codepage/converter_tables.cpp -i codepage/reverse_tables.cpp 2>"$log.cppcheck"; then
  cat "$log.cppcheck"
  echo "run-static-analysis: cppcheck found something" >&2
  exit 1
fi
echo "run-static-analysis: clang-tidy and cppcheck found nothing"
