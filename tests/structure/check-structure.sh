#!/usr/bin/env bash
# Usage: check-structure.sh SOURCE_ROOT
# The layers: nothing below the user interface includes the settings store,
# the dialogs or the command line; and the output types are told apart only
# by their format descriptions.
set -uo pipefail
cd "$1" || exit 1
failures=0

upward=$(grep -nE '#include "(settings|ui|cli)/' engine/* encode/* decode/* pcm/* framework/* \
  dshow/* gogo/* tags/* 2>/dev/null)
[ -z "$upward" ] || { echo "FAIL: a lower layer includes a higher one:"; echo "$upward"; failures=1; }

by_type=$(grep -rnE 'Output(WavAcm|Layer3Wav|Mp3|Wma)\b' --include='*.cpp' --include='*.h' \
  engine encode decode pcm settings ui cli framework | grep -v '^engine/COutputFormat\.')
[ -z "$by_type" ] || { echo "FAIL: an output type named outside its description:"; echo "$by_type"; failures=1; }

[ $failures = 0 ] && echo "structure: 2 passed, 0 failed" || echo "structure: failed"
exit $failures
