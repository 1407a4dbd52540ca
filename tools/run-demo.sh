#!/usr/bin/env bash
# Installs what is needed, builds the library and runs the example programs: the
# library tour, which traces a short session under the key DEMO, the trace controller
# displaying that session, then the console tool on the frame with sample arguments.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build/linux -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/linux --target qeldemo qeltrace wordcount
build/linux/bin/qeldemo
build/linux/bin/qeltrace -key DEMO -display -fnest -findent "  "
build/linux/bin/wordcount -name sample -repeat 300 -verbose -dump cmake/vrnqel43Config.cmake.in alpha beta gamma
