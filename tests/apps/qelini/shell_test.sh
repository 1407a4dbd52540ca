#!/usr/bin/env bash
# qelini from a shell script: get, set, add and delete options of a copy of a real
# file, each result read back through qelini itself. Arguments: the program, the file.
set -euo pipefail
qelini=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$2" "$work/setup.cfg"
file=$work/setup.cfg
get() { "$qelini" -file "$file" -section "$1" -option "$2" 2>/dev/null | tail -n 1; }
check() { [ "$1" = "$2" ] || { echo "expected [$2], got [$1]" >&2; exit 1; }; }

check "$(get metadata version)" "2.4.1"
check "$(get metadata description)" "An example; with a semicolon"
check "$(get options install_requires)" "requests>=2.0click"
"$qelini" -file "$file" -section metadata -option version -set 2.5.0 >/dev/null
check "$(get metadata version)" "2.5.0"
"$qelini" -file "$file" -section new -option flag -set "on; really" >/dev/null
check "$(get new flag)" "on; really"
"$qelini" -file "$file" -section metadata -option name -delete >/dev/null
if "$qelini" -file "$file" -section metadata -option name >/dev/null 2>&1; then
  echo "the deleted option is still found" >&2
  exit 1
fi
status=0
"$qelini" -file "$file" -section missing -option x >/dev/null 2>&1 || status=$?
check "$status" 1
grep -q "bumped by the release script" "$file" || { echo "the end-of-line comment was lost" >&2; exit 1; }
echo "qelini: every check passed"
