# Sourced by the Wine checks: a fresh, throwaway Wine prefix, made before the
# check starts so that a session's timing is the program's own. The shell
# that sources this removes it with remove_wine_prefix, from its own EXIT
# trap, which this leaves alone: chaining to it is not safe, since in a
# subshell `trap -p` shows the parent's trap, which would then run there too.
# No .NET or browser engine is offered, and no
# menu entries are written to this machine's desktop.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d"
WINEPREFIX=$(mktemp -d)
export WINEPREFIX
remove_wine_prefix() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
}
wineboot --init >/dev/null 2>&1
wineserver --wait
