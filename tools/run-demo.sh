#!/usr/bin/env bash
# Installs what is needed, builds the library and runs the demo program.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build/linux -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/linux --target qeldemo
build/linux/bin/qeldemo
