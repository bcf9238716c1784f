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

prepare_prefix() {
  [ -f "$WINEPREFIX/.zep-ready" ] && return 0
  echo "wine-session: creating the Wine prefix $WINEPREFIX (once)"
  rm -rf "$WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  wineboot -i >/dev/null 2>&1 || { echo "wine-session: wineboot failed" >&2; return 1; }
  local reg="$WINEPREFIX/drive_c/zep-fonts.reg"
  font_replacements >"$reg"
  wine regedit /S 'C:\zep-fonts.reg' >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.zep-ready"
}

# A virtual display runs no window manager, and Wine waits 2 s for one
# whenever a managed window hides: there every program's windows are
# unmanaged (Wine places them itself), whichever program it is; on a real
# display the window manager has them.
set_window_management() {
  if [ -n "$xvfb_pid" ]; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
  else
    wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f
  fi >/dev/null 2>&1
}

# Wine's desktop process is started by the first program that needs it and
# inherits that program's output pipes; a test runner then waits for the
# pipes until the desktop ends. keep_desktop.exe (built with the tests)
# starts it here with no pipes and keeps it until the session ends.
keep_desktop() {
  local keeper="$ZEP_BUILD_DIR/keep_desktop.exe" ready="$WINEPREFIX/drive_c/zep-desktop-ready"
  [ -f "$keeper" ] || return 0
  rm -f "$ready"
  wine "$keeper" 'C:\zep-desktop-ready' </dev/null >/dev/null 2>&1 &
  for _ in $(seq 100); do
    [ -e "$ready" ] && return 0
    sleep 0.1
  done
  echo "wine-session: Wine's desktop did not start" >&2
  return 1
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
set_window_management
keep_desktop || exit 1
"$@"
