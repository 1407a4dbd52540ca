#!/usr/bin/env bash
# Installs what building, testing and running the library needs on Debian 12, then
# checks that every program the scripts in tools/ call is there.
#   tools/install-deps.sh          everything the scripts in tools/ use
#   tools/install-deps.sh build    only what building the library and its programs needs
set -euo pipefail

# Each package, then the programs the scripts call from it (by name on PATH, or by
# the path the package installs them at). A package without programs is a library
# or a build input.
table=(
  "cmake:cmake ctest cpack"
  "ninja-build:ninja"
  "g++:g++"
  "pkgconf:pkg-config"
  "python3:python3 /usr/bin/python3"
  "python3-matplotlib:"
  "clang-14:clang++-14"
  "clang-tidy-14:clang-tidy-14 run-clang-tidy-14"
  "cppcheck:cppcheck"
  "libclang-rt-14-dev:"
  "googletest:"
  "libbenchmark-dev:"
  "libspdlog-dev:"
  "libinih-dev:"
  "libssl-dev:"
  "libicu-dev:"
  "g++-mingw-w64-x86-64-posix:x86_64-w64-mingw32-g++-posix"
  "binutils-mingw-w64-x86-64:x86_64-w64-mingw32-windres"
  "wine64:/usr/lib/wine/wine64"
  "libwine:/usr/lib/wine/wineserver"
  "gcovr:gcovr"
  "valgrind:valgrind"
  "abigail-tools:abidw abidiff"
  "groff-base:groff"
  "man-db:man lexgrog"
  "dpkg-dev:dpkg-shlibdeps"
  "file:file"
  "binutils:readelf"
  "doxygen:doxygen"
  "graphviz:dot"
)

if [ "${1:-}" = build ]; then
  table=(
    "cmake:cmake"
    "ninja-build:ninja"
    "g++:g++"
    "python3:python3"
    "libicu-dev:"
  )
elif [ $# -ne 0 ]; then
  echo "install-deps: unknown profile '$1' (none, or build)" >&2
  exit 2
fi

missing=()
for row in "${table[@]}"; do
  package=${row%%:*}
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -ne 0 ]; then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "install-deps: not root and no sudo (package sudo) to install: ${missing[*]}" >&2; exit 1; }
    sudo=sudo
  fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

for row in "${table[@]}"; do
  package=${row%%:*}
  for program in ${row#*:}; do
    command -v "$program" >/dev/null 2>&1 || { echo "install-deps: $program is missing (package $package)" >&2; exit 1; }
  done
done
