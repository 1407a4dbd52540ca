#!/usr/bin/env bash
# Installs what is needed, then builds and tests both targets: Linux (plain, under
# AddressSanitizer + UndefinedBehaviorSanitizer, and the fuzzers for a short run) and
# the Windows DLL under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh

jobs=$(nproc)
build() {  # build <dir> <cmake options>...
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja -DQEL_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}
run_ctest() {
  ctest --test-dir "$1" -j "$jobs" --timeout 300 --output-on-failure "${@:2}"
}

echo "== Linux"
build build/linux -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQEL_BUILD_BENCHMARKS=ON
run_ctest build/linux

echo "== Linux, AddressSanitizer + UndefinedBehaviorSanitizer"
build build/sanitize -DCMAKE_BUILD_TYPE=Debug -DQEL_SANITIZE=address,undefined
run_ctest build/sanitize

echo "== Fuzzing (clang, libFuzzer with ASan+UBSan, short runs)"
build build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
  -DQEL_BUILD_TESTS=OFF -DQEL_BUILD_EXAMPLES=OFF -DQEL_BUILD_FUZZERS=ON -DQEL_SANITIZE=address,undefined
run_ctest build/fuzz

echo "== Windows (MinGW-w64, under Wine)"
build build/windows -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
source tools/wine-env.sh
run_ctest build/windows
