#!/usr/bin/env bash
# Runs the piped end-to-end session against the Windows build under Wine, in
# a throwaway Wine prefix: the transcript must match the Linux program's,
# but for the count and the CR LF line ends. Build the .exe first:
#   cmake --preset windows-cross && cmake --build --preset windows-cross
# or name another one:  bash tests/wine_session.sh path/to/counting-lab.exe [TRANSCRIPT]
set -euo pipefail
cd "$(dirname "$0")/.."
exe=${1:-build/windows-cross/counting-lab.exe}
transcript=${2:-build/windows-cross/transcript.txt}
[ -f "$exe" ] || { echo "no $exe; build it with the windows-cross preset"; exit 1; }

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no .NET or browser engine offers
WINEPREFIX=$(mktemp -d)
export WINEPREFIX
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$WINEPREFIX"' EXIT

# Make the prefix first, so that the session's timing is the program's own.
wineboot --init >/dev/null 2>&1
wineserver --wait

cmake -D "PROGRAM=wine;$exe" -D CRLF=ON -D START_UP_S=5 \
  -D "TRANSCRIPT=$transcript" -P tests/end_to_end.cmake
echo "the session of $exe under Wine matches"
