# Sourced: a private Wine prefix with a persistent server, stopped on exit, so that
# Windows test programs start fast and never wait on a server at the end. The
# programs are called by the paths package wine64 installs them at: without the
# package wine (a recommendation only) neither is on PATH.
wine_loader=/usr/lib/wine/wine64
wine_server=/usr/lib/wine/wineserver
for program in "$wine_loader" "$wine_server"; do
  [ -x "$program" ] || { echo "wine-env: $program is missing (package wine64)" >&2; return 1; }
done
export WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/vrnqel43-wine.XXXXXX)
export WINEDEBUG=-all WINEARCH=win64
unset DISPLAY
trap '"$wine_server" -k >/dev/null 2>&1; rm -rf "$WINEPREFIX"' EXIT
"$wine_server" -p </dev/null >/dev/null 2>&1
"$wine_loader" wineboot -i </dev/null >/dev/null 2>&1
# A crash ends the program with its code instead of starting the debugger.
"$wine_loader" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
  /v Debugger /t REG_SZ /d '' /f </dev/null >/dev/null 2>&1
