# Sourced by the Wine checks: a fresh, throwaway Wine prefix, made before the
# check starts so that a session's timing is the program's own, and removed
# when the shell that sourced this exits, after whatever that shell had
# already set to run then. No .NET or browser engine is offered, and no menu
# entries are written to this machine's desktop.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d"
WINEPREFIX=$(mktemp -d)
export WINEPREFIX
remove_wine_prefix() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
}
# `trap -p EXIT` prints the sourcing shell's trap as "trap -- 'COMMAND' EXIT".
eval "wine_prefix_trap=($(trap -p EXIT))"
trap "remove_wine_prefix; ${wine_prefix_trap[2]:-}" EXIT
unset wine_prefix_trap
wineboot --init >/dev/null 2>&1
wineserver --wait
