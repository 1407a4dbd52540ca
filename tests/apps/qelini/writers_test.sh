#!/usr/bin/env bash
# 20 qelini -set of different options of one file at the same moment: each waits for the
# others' lock, so that all 20 options are in the file afterwards. Argument: the program.
set -euo pipefail
qelini=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
file=$work/shared.ini
printf '; written by many\n[s]\nfirst = 0\n' >"$file"
pids=()
for i in $(seq 1 20); do
  "$qelini" -quiet -file "$file" -section s -option "option$i" -set "$i" &
  pids+=($!)
done
failed=0
for pid in "${pids[@]}"; do wait "$pid" || failed=$((failed + 1)); done
[ "$failed" = 0 ] || { echo "$failed writers failed" >&2; exit 1; }
for i in $(seq 1 20); do
  value=$("$qelini" -file "$file" -section s -option "option$i" 2>/dev/null) || { echo "option$i is lost" >&2; exit 1; }
  [ "$value" = "$i" ] || { echo "option$i is [$value]" >&2; exit 1; }
done
head -n 3 "$file" | cmp -s - <(printf '; written by many\n[s]\nfirst = 0\n') || { echo "the file's head changed" >&2; exit 1; }
[ -z "$(ls "$work" | grep -v '^shared.ini$')" ] || { echo "left behind: $(ls "$work")" >&2; exit 1; }
echo "qelini: 20 writers at once, every option written"
