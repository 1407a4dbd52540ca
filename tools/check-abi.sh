#!/usr/bin/env bash
# Holds the built shared library against the committed description of its binary
# interface (tests/abi/<real file name>.abi, written by abidw from Debian's
# abigail-tools). docs/RELEASING.md gives the rule this script enforces.
#   tools/check-abi.sh <build-dir>           fails on any difference from the baseline
#   tools/check-abi.sh --renew <build-dir>   writes a new baseline after the version
#                                            was raised as the difference requires
set -euo pipefail
cd "$(dirname "$0")/.."

renew=false
if [ "${1:-}" = --renew ]; then
  renew=true
  shift
fi
[ $# -eq 1 ] || { echo "usage: tools/check-abi.sh [--renew] <build-dir>" >&2; exit 2; }
for program in abidw abidiff; do
  command -v "$program" >/dev/null || { echo "check-abi: $program is missing (package abigail-tools)" >&2; exit 1; }
done

library=$1/bin/libvrnqel43.so
[ -e "$library" ] || { echo "check-abi: no $library: build the library first" >&2; exit 1; }
real=$(basename "$(readlink -f "$library")")      # libvrnqel43.so.<major>.<minor>
baselines=(tests/abi/*.abi)
[ ${#baselines[@]} -eq 1 ] && [ -f "${baselines[0]}" ] ||
  { echo "check-abi: expected exactly one baseline in tests/abi/" >&2; exit 1; }
baseline=${baselines[0]}
wanted=tests/abi/$real.abi

# Only what the public headers declare; no paths or line numbers, so that the same
# library gives the same text in any checkout.
describe() { abidw --headers-dir include --drop-private-types --no-corpus-path \
  --no-comp-dir-path --no-show-locs --type-id-style hash --out-file "$1" "$library"; }
soname_of() { grep -o -m 1 "soname='[^']*'" "$1" | cut -d "'" -f 2; }

report=$(mktemp)
current=$(mktemp)
trap 'rm -f "$report" "$current"' EXIT
status=0
abidiff --headers-dir2 include --drop-private-types "$baseline" "$library" >"$report" || status=$?
# abidiff's exit status: 0 the same, 4 changed compatibly, 12 changed incompatibly.
case $status in
  0) changed=0 incompatible=0 ;;
  4) changed=1 incompatible=0 ;;
  12) changed=1 incompatible=1 ;;
  *)
    cat "$report" >&2
    echo "check-abi: abidiff could not compare $baseline with $library (exit $status)" >&2
    exit 1
    ;;
esac

if ! $renew; then
  if [ "$baseline" != "$wanted" ]; then
    echo "check-abi: the library is $real but the baseline is $baseline; renew it: tools/check-abi.sh --renew $1" >&2
    exit 1
  fi
  [ "$changed" -eq 0 ] && { echo "check-abi: $real matches $baseline"; exit 0; }
  cat "$report" >&2
  if [ "$incompatible" -ne 0 ]; then
    echo "check-abi: incompatible change to the binary interface of $real: raise QEL_SOVERSION in CMakeLists.txt, rebuild and renew the baseline (docs/RELEASING.md)" >&2
  else
    echo "check-abi: the binary interface of $real grew: raise the minor number of QEL_ABI_VERSION in CMakeLists.txt, rebuild and renew the baseline (docs/RELEASING.md)" >&2
  fi
  exit 1
fi

# Renewal: the new version must say what kind of change was made.
describe "$current"
if [ "$changed" -eq 0 ] && [ "$baseline" = "$wanted" ]; then
  echo "check-abi: nothing to renew: $real matches $baseline"
  exit 0
fi
if [ "$incompatible" -ne 0 ] && [ "$(soname_of "$baseline")" = "$(soname_of "$current")" ]; then
  cat "$report" >&2
  echo "check-abi: refusing to renew: the change is incompatible but the SONAME stays $(soname_of "$current"); raise QEL_SOVERSION" >&2
  exit 1
fi
if [ "$baseline" = "$wanted" ]; then
  echo "check-abi: refusing to renew: the interface changed but $real kept its version; raise QEL_ABI_VERSION" >&2
  exit 1
fi
rm "$baseline"
cp "$current" "$wanted"
echo "check-abi: $wanted written (was $baseline)"
