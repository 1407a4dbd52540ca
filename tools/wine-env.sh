# Sourced: a private Wine prefix with a persistent server, stopped on exit, so that
# Windows test programs start fast and never wait on a server at the end.
export WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/vrnqel43-wine.XXXXXX)
export WINEDEBUG=-all WINEARCH=win64
unset DISPLAY
trap 'wineserver -k >/dev/null 2>&1; rm -rf "$WINEPREFIX"' EXIT
wineserver -p </dev/null >/dev/null 2>&1
/usr/lib/wine/wine64 wineboot -i </dev/null >/dev/null 2>&1
# A crash ends the program with its code instead of starting the debugger.
/usr/lib/wine/wine64 reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
  /v Debugger /t REG_SZ /d '' /f </dev/null >/dev/null 2>&1
