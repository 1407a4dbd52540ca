#!/usr/bin/env bash
# Installs what building, testing and running the library needs on Debian 12.
set -euo pipefail
packages=(
  cmake ninja-build g++ pkg-config clang-14 libclang-rt-14-dev
  googletest libgtest-dev libbenchmark-dev libssl-dev libicu-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64
)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
