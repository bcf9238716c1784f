#!/usr/bin/env bash
# Usage: wine-session.sh [--own-display] COMMAND...
# Runs COMMAND with a ready Wine prefix, one wineserver kept alive for the
# whole run and a display: the caller's, or a virtual one (always with
# --own-display, and whenever no display is reachable). Cleans up after itself
# and exits with COMMAND's status.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

own_display=0
if [ "${1:-}" = "--own-display" ]; then
  own_display=1
  shift
fi

xvfb_pid=
cleanup() {
  wineserver -k >/dev/null 2>&1
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
}
trap cleanup EXIT

display_works() { [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; }

start_xvfb() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && { export DISPLAY=":$n"; return 0; }
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
  done
  echo "wine-session: could not start a virtual display" >&2
  return 1
}

# Japanese dialog fonts are mapped to the IPA fonts, or Japanese text is
# drawn as boxes outside a Japanese locale.
font_replacements() {
  printf '\xff\xfe'
  iconv -f UTF-8 -t UTF-16LE <<'REG'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"ＭＳ Ｐゴシック"="IPAPGothic"
"ＭＳ ゴシック"="IPAGothic"
"MS UI Gothic"="IPAPGothic"
REG
}

# Xvfb runs no window manager, and Wine waits 2 s for one whenever a managed
# window is hidden: the windows of the test programs stay unmanaged.
unmanaged_test_windows() {
  printf '\xff\xfe'
  { echo 'Windows Registry Editor Version 5.00'
    for program in framework_tests ui_tests jotter_tests; do
      printf '\n[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\%s.exe\\X11 Driver]\n"Managed"="N"\n' "$program"
    done
  } | iconv -f UTF-8 -t UTF-16LE
}

prepare_prefix() {
  [ -f "$WINEPREFIX/.zep-ready" ] && return 0
  echo "wine-session: creating the Wine prefix $WINEPREFIX (once)"
  rm -rf "$WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  wineboot -i >/dev/null 2>&1 || { echo "wine-session: wineboot failed" >&2; return 1; }
  local reg="$WINEPREFIX/drive_c/zep-fonts.reg"
  font_replacements >"$reg"
  wine regedit /S 'C:\zep-fonts.reg' >/dev/null 2>&1
  unmanaged_test_windows >"$WINEPREFIX/drive_c/zep-tests.reg"
  wine regedit /S 'C:\zep-tests.reg' >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.zep-ready"
}

if [ $own_display -eq 1 ] || ! display_works; then
  start_xvfb || exit 1
fi
prepare_prefix || exit 1
wineserver -p >/dev/null 2>&1
# The first program of a session starts Wine's own services, which live on
# and would inherit the caller's output pipes (a test runner then waits for
# them). Start them here with no pipes to inherit.
wine cmd.exe /c exit </dev/null >/dev/null 2>&1
"$@"
