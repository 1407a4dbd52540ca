#!/usr/bin/env bash
# Installs what is needed, builds the library and its benchmarks optimised, and runs
# every benchmark program. Extra arguments go to each program (e.g.
# --benchmark_filter=MD5).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQEL_BUILD_TESTS=OFF \
  -DQEL_BUILD_EXAMPLES=OFF -DQEL_BUILD_BENCHMARKS=ON >/dev/null
cmake --build build/bench
for program in build/bench/bin/bench_*; do
  echo "== ${program##*/}"
  "$program" "$@"
done
