#!/usr/bin/env bash
# qelini from a shell script, on copies: a get prints the value alone; set, add and
# delete change only their lines, and a set to the value already there leaves the file
# alone; a file with a line it does not understand is never changed; a failed write to
# standard output and running out of memory end with their own codes and a message.
# Arguments: the program, the input folder, 1 when it runs under the sanitizers.
set -euo pipefail
qelini=$1
input=$2
sanitized=${3:-0}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "$*" >&2; exit 1; }
check() { [ "$1" = "$2" ] || fail "expected [$2], got [$1]"; }
code() { local status=0; "$@" >/dev/null 2>&1 || status=$?; echo "$status"; }

# Line 15 of setup.cfg is no option: reads go on, changes are refused.
cp "$input/setup.cfg" "$work/setup.cfg"
check "$("$qelini" -file "$work/setup.cfg" -section metadata -option version 2>/dev/null)" "2.4.1"
check "$("$qelini" -file "$work/setup.cfg" -section options -option install_requires 2>/dev/null)" "requests>=2.0click"
check "$(code "$qelini" -file "$work/setup.cfg" -section metadata -option version -set 2.5.0)" 3
cmp -s "$input/setup.cfg" "$work/setup.cfg" || fail "a file with a line not understood was changed"
[ ! -e "$work/setup.cfg.lock" ] || fail "the lock file was left behind"
check "$(code "$qelini" -file "$work/setup.cfg" -section tool:pytest -list)" 0
if [ -w /dev/full ]; then
  status=0
  "$qelini" -file "$work/setup.cfg" -section tool:pytest -list >/dev/full 2>/dev/null || status=$?
  check "$status" 5
fi

# A byte order mark, CR LF, comments, tab-indented options.
file=$work/app.ini
printf '\xef\xbb\xbf; settings\r\n[main]\r\n\tname = demo ; shown\r\n\tpath = "C:\\\\tmp"\r\n\r\n; the end\r\n' >"$file"
set_() { "$qelini" -file "$file" -section "$1" -option "$2" -set "$3" 2>/dev/null; }
check "$("$qelini" -file "$file" -section main -option path 2>/dev/null)" 'C:\tmp'
inode=$(stat -c %i "$file")
set_ main name demo
check "$(stat -c %i "$file")" "$inode"
set_ main name "a;b"
set_ main added 1
set_ other key value
"$qelini" -file "$file" -section main -option path -delete 2>/dev/null
printf '\xef\xbb\xbf; settings\r\n[main]\r\n\tname = "a;b" ; shown\r\n\tadded = 1\r\n\r\n; the end\r\n\r\n[other]\r\nkey = value\r\n' \
  >"$work/expected"
cmp "$work/expected" "$file" || fail "the edited file differs from $work/expected"
check "$("$qelini" -file "$file" -section main -option name 2>/dev/null)" "a;b"
check "$(code "$qelini" -file "$file" -section main -option path -delete)" 1
"$qelini" -file "$file" -section other -delete 2>/dev/null
check "$(code "$qelini" -file "$file" -section other)" 1

# A line of 100 MB does not fit under a memory limit of 100 MB: a message, not an abort.
if [ "$sanitized" != 1 ]; then
  { printf '[s]\nkey = '; head -c 100000000 /dev/zero | tr '\0' v; printf '\n'; } >"$work/huge.ini"
  status=0
  (ulimit -v 100000 && "$qelini" -file "$work/huge.ini" -section s -option key >/dev/null 2>"$work/huge.err") ||
    status=$?
  check "$status" 6
  grep -q "Out of memory" "$work/huge.err" || fail "no message for running out of memory"
fi
echo "qelini: every check passed"
