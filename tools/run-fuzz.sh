#!/usr/bin/env bash
# Fuzz campaign: runs every fuzz target (or the ones named) for the given number of
# seconds each (default 600), starting from its kept corpus in fuzz/corpus/<target>/.
# Inputs that reach new code are merged into that corpus afterwards; an input that
# fails a target is kept in build/fuzz/findings/ and the script names it and exits
# non-zero.
#   tools/run-fuzz.sh [seconds] [target...]
set -uo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh || exit 1

seconds=${1:-600}
shift $(($# > 0 ? 1 : 0))
dir=build/fuzz
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
  -DQEL_BUILD_TESTS=OFF -DQEL_BUILD_EXAMPLES=OFF -DQEL_BUILD_FUZZERS=ON \
  -DQEL_SANITIZE=address,undefined >/dev/null || exit 1

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for source in fuzz/fuzz_*.cpp; do
    name=${source##*/}
    targets+=("${name%.cpp}")
  done
fi
# Only the targets that run are built.
cmake --build "$dir" --target "${targets[@]}" || exit 1

findings=$dir/findings
mkdir -p "$findings"
failed=()
for target in "${targets[@]}"; do
  corpus=fuzz/corpus/$target
  fresh=$dir/campaign/$target
  rm -rf "$fresh"
  mkdir -p "$corpus" "$fresh"
  echo "== $target: ${seconds} s from $(find "$corpus" -type f | wc -l) kept inputs"
  # New inputs go to the fresh folder; the kept corpus is only read.
  if ! "$dir/bin/$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=25 \
      -print_final_stats=1 -artifact_prefix="$findings/$target-" "$fresh" "$corpus" \
      >"$dir/campaign/$target.log" 2>&1; then
    echo "run-fuzz: $target failed, see $dir/campaign/$target.log and $findings/" >&2
    failed+=("$target")
    continue
  fi
  grep -E '^stat::number_of_executed_units' "$dir/campaign/$target.log" || true
  "$dir/bin/$target" -merge=1 -rss_limit_mb=2048 "$corpus" "$fresh" >/dev/null 2>&1 ||
    { echo "run-fuzz: merging the corpus of $target failed" >&2; failed+=("$target"); }
  echo "   corpus now $(find "$corpus" -type f | wc -l) inputs"
done

[ ${#failed[@]} -eq 0 ] || { echo "run-fuzz: failing targets: ${failed[*]}" >&2; exit 1; }
echo "run-fuzz: every target ran ${seconds} s clean"
