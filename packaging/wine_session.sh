#!/usr/bin/env bash
# Runs the piped end-to-end session against the Windows build under Wine, in
# a throwaway Wine prefix: the transcript must match the Linux program's,
# but for the count and the CR LF line ends. Build the .exe first:
#   cmake --preset windows-cross && cmake --build --preset windows-cross
# or name another one:  bash packaging/wine_session.sh path/to/counting-lab.exe [TRANSCRIPT]
set -euo pipefail
cd "$(dirname "$0")/.."
exe=${1:-build/windows-cross/counting-lab.exe}
transcript=${2:-build/windows-cross/transcript.txt}
[ -f "$exe" ] || { echo "no $exe; build it with the windows-cross preset"; exit 1; }

source packaging/wine_prefix.sh
trap remove_wine_prefix EXIT

cmake -D "PROGRAM=wine;$exe" -D CRLF=ON -D START_UP_S=5 \
  -D "TRANSCRIPT=$transcript" -P tests/end_to_end.cmake
echo "the session of $exe under Wine matches"
