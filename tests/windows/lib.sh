# Shared by the Windows tests (sourced, not run): the Windows programs under Wine, each on a
# private Xvfb display, driven like the desktop program by tests/window/lib.sh's helpers. One Wine
# prefix is made once (about 14 s) and reused; the tests take turns with it.
# Usage in a test: source "$(dirname "$0")/lib.sh" "$@"
#   with the arguments <windows-build-folder> <wine-prefix> [<desktop-check> <release-folder>],
#   the first holding gravity.exe, gravity_stats.exe and the installer. Given a release folder, the
#   program is the gravity.exe unpacked from the release's zip and the installer is the release's:
#   what users download is what is tested.

WINDOWS_DIR=${1:?usage: bash $0 <windows-build-folder> <wine-prefix>}
WINEPREFIX=${2:?usage: bash $0 <windows-build-folder> <wine-prefix>}
export WINEPREFIX=$(realpath -m "$WINEPREFIX")  # Wine takes only an absolute one
source "$(dirname "${BASH_SOURCE[0]}")/../window/lib.sh" "$WINDOWS_DIR/gravity.exe"
require_tools wine wineboot wineserver import convert xwininfo xprop flock openbox
STATS_BINARY=$WINDOWS_DIR/gravity_stats.exe
PACKAGES_DIR=${4:-$WINDOWS_DIR}
if [[ -n "${4:-}" ]]; then
  zip=$(realpath "$PACKAGES_DIR"/gravity-*-windows-x64.zip)
  (cd "$WORK" && cmake -E tar xf "$zip") || fail "could not unzip the Windows zip in $PACKAGES_DIR"
  GRAVITY=$(echo "$WORK"/gravity-*-windows-x64/gravity.exe)
  [[ -f "$GRAVITY" ]] || fail "the Windows zip in $PACKAGES_DIR holds no gravity.exe"
fi

# Wine says nothing, and never offers to install its .NET or HTML engines.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# One test at a time in the prefix, from its making to the end of the test.
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
if [[ ! -e "$WINEPREFIX/.made" ]]; then
  rm -rf "$WINEPREFIX"
  echo "making the Wine prefix $WINEPREFIX"
  DISPLAY= wineboot -i >/dev/null 2>&1 && wineserver -w || fail "wineboot could not make the prefix"
  touch "$WINEPREFIX/.made"
fi

# Ends the test's Windows processes and the prefix's server along with the display.
eval "x11_$(declare -f cleanup)"
cleanup() {
  wineserver -k 2>/dev/null
  x11_cleanup
}

# Starts `wine PROGRAM` (by default the program under test) on the test's display; the Unix
# process becomes the Windows process, so APP_PID and its status are the program's own.
start_gravity() {
  wine "${1:-$GRAVITY}" >"$WORK/stdout" 2>"$WORK/stderr" &
  APP_PID=$!
}

# A window manager on the test's display, as every desktop has: Wine 10 (Debian 13) takes up a
# new size that something else gives the window only when a window manager manages it.
# Now and then openbox cannot open a display that has just started, so it is given three tries.
start_window_manager() {
  local try
  for try in 1 2 3; do
    openbox >"$WORK/openbox.log" 2>&1 &
    poll 10 eval 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"' && return
  done
  fail "openbox did not start: $(tail -3 "$WORK/openbox.log")"
}

# Opens the program (or PROGRAM) and sets `id` to its window, with the keyboard focus on it. With
# WINDOW_MANAGER=1, under a window manager.
open_windows_program() {
  start_display
  [[ "${WINDOW_MANAGER:-}" == 1 ]] && start_window_manager
  start_gravity "$@"
  id=$(find_window) || exit 1
  xdotool windowfocus --sync "$id" || fail "xdotool could not focus the window"
  xdotool mousemove --window "$id" 313 274 || fail "xdotool could not move the pointer"
}

# Presses a key in the focused window.
press() { xdotool key --delay 15 "$@" || fail "xdotool could not press $*"; }

# Escape must end the process within a second of the key, with status 0.
escape_ends_within_a_second() {
  local start
  start=$(now_ms)
  press Escape
  while alive && (($(now_ms) - start < 1000)); do sleep 0.02; done
  alive && fail "the program was still running a second after Escape"
  wait "$APP_PID"
  EXIT_STATUS=$?
  APP_PID=
  ((EXIT_STATUS == 0)) || fail "Escape ended the program with status $EXIT_STATUS"
  echo "measured: Escape ended the program within $(($(now_ms) - start)) ms, status 0"
}
