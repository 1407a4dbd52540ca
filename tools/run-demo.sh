#!/usr/bin/env bash
# Installs what is needed, builds the library and runs the example programs: the
# library tour, which traces a short session under the key DEMO, the trace controller
# displaying that session, then the console tool on the frame with sample arguments.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh build
cmake -S . -B build/demo -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQEL_BUILD_TESTS=OFF >/dev/null
cmake --build build/demo --target qeldemo qeltrace wordcount
build/demo/bin/qeldemo
build/demo/bin/qeltrace -key DEMO -display -fnest -findent "  "
build/demo/bin/wordcount -name sample -repeat 300 -verbose -dump cmake/vrnqel43Config.cmake.in alpha beta gamma
