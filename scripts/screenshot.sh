#!/usr/bin/env bash
# Usage: screenshot.sh PROGRAM.exe OUT.png [WINDOW-TITLE]
# Starts a Windows program on the current display, waits for its window,
# saves a picture of that window and ends the program.
set -uo pipefail
exe=$1 out=$2 title=${3:-ZEP}
wine "$exe" &
pid=$!
for _ in $(seq 150); do
  window=$(xwininfo -root -tree 2>/dev/null | awk -v t="\"$title\"" 'index($0, t) {print $1; exit}')
  if [ -n "$window" ]; then
    sleep 1 # let the first paint finish
    import -window "$window" "$out"
    echo "ZEP is running on the virtual display $DISPLAY; screenshot saved to $out"
    kill "$pid" 2>/dev/null
    wineserver -k >/dev/null 2>&1
    exit 0
  fi
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.2
done
echo "screenshot: no window titled \"$title\" appeared" >&2
kill "$pid" 2>/dev/null
exit 1
