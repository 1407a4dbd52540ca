#!/usr/bin/env bash
# Installs what is needed, builds the library and its benchmarks optimised, runs
# every benchmark program and draws every library/peer ratio into
# docs/benchmark-ratios.svg. Each program's results are kept as JSON in
# build/bench/results/. Extra arguments go to each program (e.g.
# --benchmark_filter=MD5).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQEL_BUILD_TESTS=OFF \
  -DQEL_BUILD_EXAMPLES=OFF -DQEL_BUILD_BENCHMARKS=ON >/dev/null
cmake --build build/bench
results=build/bench/results
rm -rf "$results"
mkdir -p "$results"
for program in build/bench/bin/bench_*; do
  name=${program##*/}
  echo "== $name"
  "$program" --benchmark_out="$results/$name.json" --benchmark_out_format=json "$@"
done
/usr/bin/python3 tools/plot-benchmarks.py docs/benchmark-ratios.svg "$results"/*.json
echo "run-benchmarks: chart in docs/benchmark-ratios.svg"
