#!/usr/bin/env bash
# qelini -set on a full file system: the file stays as it was, no lock file is left, and
# the tool ends non-zero with the host's reason. The test mounts a small file system of
# its own, which needs root; elsewhere it is skipped (exit 77). Argument: the program.
set -euo pipefail
qelini=$1
work=$(mktemp -d)
trap 'umount "$work" 2>/dev/null || true; rmdir "$work"' EXIT
mount -t tmpfs -o size=64k tmpfs "$work" 2>/dev/null || { echo "no file system could be mounted here (needs root)"; exit 77; }
file=$work/app.ini
{
  echo "[s]"
  for i in $(seq 1 400); do echo "option$i = $(printf '%080d' "$i")"; done
} >"$file"
before=$(md5sum <"$file")
status=0
message=$("$qelini" -quiet -file "$file" -section s -option option1 -set changed 2>&1) || status=$?
[ "$status" = 2 ] || { echo "exit $status, expected 2: $message" >&2; exit 1; }
case $message in
  *"No space left on device"*) ;;
  *) echo "the host's reason is missing: $message" >&2; exit 1 ;;
esac
[ "$(md5sum <"$file")" = "$before" ] || { echo "the file changed" >&2; exit 1; }
[ ! -e "$file.lock" ] || { echo "a lock file was left behind" >&2; exit 1; }
echo "qelini: a full disk leaves the file as it was: $message"
