# Shared by the real-window tests (sourced, not run): a private Xvfb display, the program under
# test started on it, polling helpers, and clean-up of every process on exit.
# Usage in a test: source "$(dirname "$0")/lib.sh" "$@"

GRAVITY=${1:?usage: bash $0 <path-to-gravity>}
[[ -x "$GRAVITY" ]] || { echo "FAIL: $GRAVITY is not an executable" >&2; exit 1; }
WORK=$(mktemp -d)
XVFB_PID=
APP_PID=

cleanup() {
  [[ -n "$APP_PID" ]] && kill -KILL "$APP_PID" 2>/dev/null
  [[ -n "$XVFB_PID" ]] && kill "$XVFB_PID" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 2' INT TERM

fail() {
  echo "FAIL: $*" >&2
  if [[ -s "$WORK/stderr" ]]; then
    echo "--- program stderr:" >&2
    head -20 "$WORK/stderr" >&2
  fi
  exit 1
}

# Runs "$@" every 0.2 s until it succeeds or `seconds` have passed.
poll() {
  local seconds=$1
  shift
  local deadline=$((SECONDS + seconds))
  until "$@"; do
    ((SECONDS >= deadline)) && return 1
    sleep 0.2
  done
}

# Starts Xvfb on a display number it picks itself (so parallel tests never collide) and points
# DISPLAY at it. The root window gets the old grey weave (-retro), so a window that never shows a
# picture of its own does not pass for black.
start_display() {
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -retro -nolisten tcp 3>"$WORK/display" 2>"$WORK/xvfb.log" &
  XVFB_PID=$!
  poll 30 test -s "$WORK/display" || fail "Xvfb did not start: $(tail -3 "$WORK/xvfb.log")"
  export DISPLAY=":$(head -1 "$WORK/display")"
  unset WAYLAND_DISPLAY SDL_VIDEODRIVER
  poll 30 xdpyinfo >/dev/null 2>&1 || fail "display $DISPLAY does not answer"
}

start_gravity() {
  "$GRAVITY" >"$WORK/stdout" 2>"$WORK/stderr" &
  APP_PID=$!
}

alive() { kill -0 "$APP_PID" 2>/dev/null; }

# Prints the id of the program's window, waiting for it to be mapped.
find_window() {
  local id
  id=$(timeout 30 xdotool search --sync --onlyvisible --name '^Form1$' 2>/dev/null | head -1)
  [[ -n "$id" ]] || fail "no window titled Form1 appeared within 30 s (program running: $(alive && echo yes || echo no))"
  echo "$id"
}

# Waits up to `seconds` for the program to end and sets EXIT_STATUS; fails if it does not end.
wait_for_exit() {
  local seconds=$1
  poll "$seconds" eval '! alive' || fail "the program was still running $seconds s later"
  wait "$APP_PID"
  EXIT_STATUS=$?
  APP_PID=
}

# The brightest channel value (0..1) in the window's picture.
brightest() {
  import -window "$1" "$WORK/shot.png" 2>/dev/null &&
    convert "$WORK/shot.png" -format '%[fx:maxima]' info: 2>/dev/null
}
