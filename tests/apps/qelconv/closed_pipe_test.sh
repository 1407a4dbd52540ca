#!/usr/bin/env bash
# qelconv writing into a pipe whose reader has gone: the write error is reported with the
# host's reason and exit 4, rather than the program vanishing through SIGPIPE. The output
# is larger than a pipe holds, so a write fails however the two processes are scheduled.
# Arguments: the program, a scratch directory.
set -uo pipefail
qelconv=$1
work=$2
mkdir -p "$work"
head -c 300000 /dev/zero | tr '\0' 'a' >"$work/input.txt"
# The reader ends without reading; the tool's status and messages are kept in files.
{ "$qelconv" -from 1208 -to 37 "$work/input.txt" 2>"$work/err"; echo $? >"$work/status"; } | true
status=$(cat "$work/status")
message=$(cat "$work/err")
[ "$status" = 4 ] || { echo "exit $status, expected 4: $message" >&2; exit 1; }
case $message in
  *"The output could not be written: standard output: Broken pipe"*) ;;
  *) echo "the host's reason is missing: $message" >&2; exit 1 ;;
esac
echo "qelconv: a closed pipe is reported: $message"
