#!/usr/bin/env bash
# Builds only the HTML API reference (Doxygen over include/ and docs/api/) into a build
# directory, build/docs unless one is given, and names the page to open. Configuring
# needs what configuring the library needs; nothing but the reference is compiled.
#   tools/build-docs.sh [build directory]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build/docs}

missing=()
packages=()
for row in doxygen:doxygen cmake:cmake ninja:ninja-build python3:python3; do
  command -v "${row%%:*}" >/dev/null 2>&1 && continue
  missing+=("${row%%:*}")
  packages+=("${row#*:}")
done
if [ ${#missing[@]} -ne 0 ]; then
  echo "build-docs: ${missing[*]} missing; install with: sudo apt-get install ${packages[*]}" >&2
  exit 1
fi

cmake -S . -B "$dir" -G Ninja -DQEL_BUILD_DOCS=ON -DQEL_BUILD_TESTS=OFF -DQEL_BUILD_EXAMPLES=OFF >/dev/null
cmake --build "$dir" --target docs
echo "build-docs: $dir/docs/html/index.html"
