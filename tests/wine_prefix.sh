# Sourced by the Wine checks: a fresh, throwaway Wine prefix, made before the
# check starts so that a session's timing is the program's own, and removed
# with the shell that sourced this. No .NET or browser engine is offered, and
# no menu entries are written to this machine's desktop.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d"
WINEPREFIX=$(mktemp -d)
export WINEPREFIX
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$WINEPREFIX"' EXIT
wineboot --init >/dev/null 2>&1
wineserver --wait
