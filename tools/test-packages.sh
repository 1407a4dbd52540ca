#!/usr/bin/env bash
# Makes the Debian packages of a Linux build (cpack -G DEB) and tests them as a user of
# the packages would meet them: each package's name, dependencies and files; then all
# three unpacked into a scratch root (dpkg-deb -x: nothing is installed on the
# machine), examples/consumer built against that root through the CMake package and
# through pkg-config, and each installed program run against the installed library.
#   tools/test-packages.sh <build-dir>
# Everything it makes stays in <build-dir>/packages and <build-dir>/package-test,
# both made afresh on each run. It exits non-zero after naming every check that failed.
set -uo pipefail
cd "$(dirname "$0")/.."
source_dir=$PWD

if [ $# -ne 1 ] || [ ! -f "$1/CPackConfig.cmake" ]; then
  echo "usage: tools/test-packages.sh <build-dir>   (a configured and built Linux build)" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
work=$build/package-test
root=$work/root
rm -rf "$work" "$build/packages"
mkdir -p "$work" "$root"

failures=0
fail() {
  echo "test-packages: $*" >&2
  failures=$((failures+1))
}
die() {
  echo "test-packages: $*" >&2
  exit 1
}

# What the packages must be called, from the build itself: the version of the project
# and the SONAME of the library (libvrnqel43.so.5 makes libvrnqel43-5).
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$build/CMakeCache.txt")
cxx=$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' "$build/CMakeCache.txt")
soname=$(readelf -d "$build/bin/libvrnqel43.so" | sed -n 's/.*Library soname: \[\(.*\)\]/\1/p')
[ -n "$version" ] && [ -n "$soname" ] || die "no project version or no SONAME of $build/bin/libvrnqel43.so"
runtime=${soname%%.so.*}-${soname##*.so.}

(cd "$build" && cpack -G DEB) >"$work/cpack.log" 2>&1 || {
  cat "$work/cpack.log" >&2
  die "cpack -G DEB failed in $build"
}

# deb <package>: the package's file; exactly one must be there.
deb() {
  local files=("$build/packages/$1_${version}_"*.deb)
  [ ${#files[@]} -eq 1 ] && [ -f "${files[0]}" ] || return 1
  echo "${files[0]}"
}
for package in "$runtime" libvrnqel43-dev vrnqel43-tools; do
  file=$(deb "$package") || die "cpack made no package $package $version (made: $(ls "$build/packages"))"
  mkdir -p "$work/unpacked/$package"
  dpkg-deb -x "$file" "$work/unpacked/$package" || die "dpkg-deb -x $file failed"
  dpkg-deb -x "$file" "$root" || die "dpkg-deb -x $file failed"
done
made=$(find "$build/packages" -maxdepth 1 -name '*.deb' | wc -l)
[ "$made" -eq 3 ] || fail "cpack made $made packages, not 3: $(ls "$build/packages")"

# expect_depends <package> <extended regex>...: each is one entry of its Depends.
expect_depends() {
  local package=$1 depends pattern
  depends=$(dpkg-deb -f "$(deb "$package")" Depends)
  shift
  for pattern in "$@"; do
    tr ',' '\n' <<<"$depends" | sed 's/^ *//' | grep -Ex "$pattern" >/dev/null ||
      fail "$package: Depends has no $pattern: $depends"
  done
}
# files <package>: the package's files and links, one a line, without the leading ./
files() { (cd "$work/unpacked/$1" && find . ! -type d -printf '%P\n' | sort); }
# expect_none <package> <what> <-e|-v> <extended regex>: no file of the package matches
# (-e), or none fails to match (-v).
expect_none() {
  local found
  found=$(files "$1" | grep -E "$3" "$4")
  [ -z "$found" ] || fail "$1 has $2: $(tr '\n' ' ' <<<"$found")"
}

expect_depends "$runtime" 'libc6( \(>= [^)]*\))?' 'libstdc\+\+6( \(>= [^)]*\))?' 'libicu[0-9]+( \(>= [^)]*\))?'
expect_depends libvrnqel43-dev "$runtime \(= $version\)"
expect_depends vrnqel43-tools "$runtime \(>= $version\)" 'libc6( \(>= [^)]*\))?' 'libstdc\+\+6( \(>= [^)]*\))?'
[[ $(dpkg-deb -f "$(deb libvrnqel43-dev)" Depends) != *libicu-dev* ]] || fail "libvrnqel43-dev depends on libicu-dev"
[ "$(dpkg-deb -f "$(deb "$runtime")" Section)" = libs ] || fail "$runtime is not in section libs"
grep -qx "libvrnqel43 ${soname##*.so.} $runtime (>= $version)" <(dpkg-deb -I "$(deb "$runtime")" shlibs) ||
  fail "$runtime has no shlibs file naming itself for $soname"

expect_none "$runtime" "more than the shared library" -v '^usr/lib/libvrnqel43\.so\.[0-9.]+$'
[ -f "$work/unpacked/$runtime/usr/lib/$soname" ] || fail "$runtime has no usr/lib/$soname"
expect_none libvrnqel43-dev "the shared library itself" -e '\.so\.[0-9]'
expect_none libvrnqel43-dev "programs" -e '^usr/bin/'
for file in usr/include/vrnqel43.h usr/lib/pkgconfig/vrnqel43.pc usr/lib/cmake/vrnqel43/vrnqel43Config.cmake \
  usr/share/man/man7/vrnqel43.7; do
  [ -f "$work/unpacked/libvrnqel43-dev/$file" ] || fail "libvrnqel43-dev has no $file"
done
[ "$(readlink "$work/unpacked/libvrnqel43-dev/usr/lib/libvrnqel43.so")" = "$soname" ] ||
  fail "libvrnqel43-dev has no link usr/lib/libvrnqel43.so to $soname"
expect_none vrnqel43-tools "a library" -e 'libvrnqel43'
expect_none vrnqel43-tools "headers" -e '^usr/include/'
for program in qeltrace qelini qelconv; do
  [ -x "$work/unpacked/vrnqel43-tools/usr/bin/$program" ] || fail "vrnqel43-tools has no usr/bin/$program"
  [ -f "$work/unpacked/vrnqel43-tools/usr/share/man/man1/$program.1" ] ||
    fail "vrnqel43-tools has no usr/share/man/man1/$program.1"
done

# No installed binary may look for libraries in the build or source tree.
for file in "$root"/usr/lib/libvrnqel43.so.* "$root"/usr/bin/*; do
  [ -L "$file" ] && continue
  readelf -d "$file" | grep -E '\(R(UN)?PATH\)' | grep -Fq -e "$build" -e "$source_dir" &&
    fail "${file#"$root"/} has a library search path into the build: $(readelf -d "$file" | grep -E 'R(UN)?PATH')"
done

# loads_installed <program>: the program loads the library of the scratch root.
loads_installed() {
  local loaded
  loaded=$(LD_LIBRARY_PATH=$root/usr/lib ldd "$1" | sed -n 's/^[[:space:]]*libvrnqel43\.so[^ ]* => \([^ ]*\).*/\1/p')
  [ "$loaded" = "$root/usr/lib/$soname" ] || fail "${1#"$work"/} loads '${loaded:-nothing}', not $root/usr/lib/$soname"
}
expected=$source_dir/tests/install/consumer.expected
# expect_output <program>: runs it against the scratch root; prints what consumer.expected holds.
expect_output() {
  loads_installed "$1"
  LD_LIBRARY_PATH=$root/usr/lib "$1" >"$1.out" 2>"$1.err" || fail "${1#"$work"/} exited $?: $(cat "$1.err")"
  diff -u "$expected" "$1.out" >&2 || fail "${1#"$work"/} printed other than tests/install/consumer.expected"
}

# The consumer through the CMake package: it must find the package in the scratch root.
if cmake -G Ninja -S examples/consumer -B "$work/consumer" -DCMAKE_PREFIX_PATH="$root/usr" \
  -DCMAKE_CXX_COMPILER="$cxx" >"$work/consumer.log" 2>&1 &&
  cmake --build "$work/consumer" >>"$work/consumer.log" 2>&1; then
  grep -qx "vrnqel43_DIR:PATH=$root/usr/lib/cmake/vrnqel43" "$work/consumer/CMakeCache.txt" ||
    fail "the consumer found another vrnqel43 package: $(grep '^vrnqel43_DIR' "$work/consumer/CMakeCache.txt")"
  expect_output "$work/consumer/consumer"
else
  cat "$work/consumer.log" >&2
  fail "examples/consumer does not build against the CMake package of the scratch root"
fi

# The consumer through pkg-config, which looks at the scratch root's files only.
if flags=$(PKG_CONFIG_LIBDIR=$root/usr/lib/pkgconfig pkg-config --cflags --libs vrnqel43); then
  # shellcheck disable=SC2086  # the flags are words
  if "$cxx" -std=c++17 examples/consumer/consumer.cpp $flags -o "$work/consumer-pc" 2>"$work/consumer-pc.log"; then
    expect_output "$work/consumer-pc"
  else
    cat "$work/consumer-pc.log" >&2
    fail "examples/consumer does not build with the flags of the installed vrnqel43.pc: $flags"
  fi
else
  fail "pkg-config does not find vrnqel43 in $root/usr/lib/pkgconfig"
fi

# Each installed program once, against the installed library.
bin=$root/usr/bin
export LD_LIBRARY_PATH=$root/usr/lib
for program in qeltrace qelini qelconv; do
  loads_installed "$bin/$program"
done
status=$("$bin/qeltrace" -key QELPACKAGED 2>&1)
grep -q "Trace Status" <<<"$status" || fail "qeltrace -key QELPACKAGED shows no trace status: $status"
"$bin/qelini" -file "$work/packaged.ini" -section tools -option greeting -set hello 2>/dev/null &&
  [ "$("$bin/qelini" -file "$work/packaged.ini" -section tools -option greeting 2>/dev/null)" = hello ] ||
  fail "qelini does not read back the value it set in $work/packaged.ini"
ebcdic=$(printf 'Hello' | "$bin/qelconv" -from utf-8 -to 37 2>/dev/null | od -An -tx1 | tr -d ' \n')
[ "$ebcdic" = c885939396 ] ||
  fail "qelconv -from utf-8 -to 37 made $ebcdic of 'Hello', not c885939396"

if [ $failures -ne 0 ]; then
  echo "test-packages: $failures checks failed" >&2
  exit 1
fi
echo "test-packages: $runtime, libvrnqel43-dev, vrnqel43-tools $version: files, dependencies, consumer and programs as expected"
