#!/usr/bin/env bash
# Draws docs/architecture.svg, the families and what each uses, from CMake's own target
# graph (cmake --graphviz) of a scratch configuration: one box per family's object
# library, an arrow down to each family it declares in USES.
#   tools/draw-architecture.sh [build-dir]      (default build/architecture)
set -euo pipefail
cd "$(dirname "$0")/.."
command -v cmake >/dev/null || { echo "draw-architecture: cmake is missing (package cmake)" >&2; exit 1; }
command -v dot >/dev/null || { echo "draw-architecture: dot is missing (package graphviz)" >&2; exit 1; }
dir=${1:-build/architecture}
mkdir -p "$dir"
cp cmake/CMakeGraphVizOptions.cmake "$dir/"
cmake -S . -B "$dir" -G Ninja -DQEL_BUILD_TESTS=OFF -DQEL_BUILD_EXAMPLES=OFF -DQEL_BUILD_DOCS=OFF \
  --graphviz="$dir/targets.dot" >/dev/null
# The families' names without the target prefix, no legend of shapes; a family above
# the families it uses.
sed -e '/^subgraph clusterLegend/,/^}/d' -e 's/label = "qel_\([a-z]*\)"/label = "\1"/' \
  "$dir/targets.dot" | dot -Tsvg -o docs/architecture.svg
echo "draw-architecture: docs/architecture.svg written"
