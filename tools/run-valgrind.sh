#!/usr/bin/env bash
# Runs every Linux test program under valgrind's memcheck, each in the folder its
# tests run from. Fails on any memory error and on any definite leak; programs the
# tests start (helpers, death-test children) run without valgrind.
#   tools/run-valgrind.sh [test program...]   e.g. tools/run-valgrind.sh util_test
set -uo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh || exit 1

# The build of the Linux stage of tools/run-tests.sh, with the same options.
dir=build/linux
cmake -S . -B "$dir" -G Ninja -DQEL_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQEL_BUILD_BENCHMARKS=ON >/dev/null || exit 1
cmake --build "$dir" || exit 1

programs=("$@")
if [ ${#programs[@]} -eq 0 ]; then
  for program in "$dir"/bin/*_test; do programs+=("${program##*/}"); done
fi

# Under valgrind, posix_spawn cannot report a program that fails to start (valgrind
# turns its shared-memory child into a plain fork), so the tests of that are left out.
# The test that kills a saving writer 50 times forks writers that run under valgrind
# too, some fifty times slower: it runs in the other stages, and so do the trace
# writers that crash, fork and share a file, whose timing valgrind changes beyond use
# (only their full-disk test runs here).
declare -A filters=(
  [process_test]="-CommandLine.QuotesTextsWithSpaces:Launch.MissingProgramFailsWithTheSystemError"
  [inifile_test]="-IniSafety.AKilledSaveLeavesTheOldOrTheNewFile"
  [trace_processes_test]="TraceProcesses.AFullDiskCostsRecordsNotTheFile"
)
root=$PWD
failed=()
for program in "${programs[@]}"; do
  # A program's tests run in the build folder of its sources, as under ctest.
  include=$(find "$dir/tests" -name "$program[[]1[]]_include.cmake" | head -n 1)
  folder=${include%/*}
  log=$root/$dir/$program.memcheck.log
  echo "== $program"
  if ! (cd "${folder:-$dir}" && valgrind --quiet --error-exitcode=99 --leak-check=full \
      --errors-for-leak-kinds=definite --show-leak-kinds=definite --log-file="$log" \
      "$root/$dir/bin/$program" --gtest_brief=1 --gtest_filter="${filters[$program]:-*}" >/dev/null); then
    echo "run-valgrind: $program failed, see $log" >&2
    failed+=("$program")
  fi
done

[ ${#failed[@]} -eq 0 ] || { echo "run-valgrind: failing programs: ${failed[*]}" >&2; exit 1; }
echo "run-valgrind: no memory errors and no definite leaks"
