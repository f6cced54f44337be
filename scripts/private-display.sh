# Sourced by the measuring, screenshot and animation scripts: a work folder, a private Xvfb display for the
# program, and the clean-up of both on exit. Sets `work`; the script sets `app_pid` when it starts
# the program, so the clean-up ends it too.
work=$(mktemp -d)
xvfb_pid=
app_pid=
cleanup() {
  [[ -n "$app_pid" ]] && kill "$app_pid" 2>/dev/null
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 2' INT TERM

# Starts Xvfb on a display number it picks itself and points DISPLAY at it; $1 names the caller
# in the message when it cannot. XVFB_SCREEN (WxHxD) sets the screen's size and depth.
start_private_display() {
  Xvfb -displayfd 3 -screen 0 "${XVFB_SCREEN:-1280x1024x24}" -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 150); do [[ -s "$work/display" ]] && break; sleep 0.2; done
  [[ -s "$work/display" ]] || { echo "$1: Xvfb did not start" >&2; exit 1; }
  export DISPLAY=":$(head -1 "$work/display")"
  unset WAYLAND_DISPLAY SDL_VIDEODRIVER
}

# Starts the program $2 on the private display and waits for its window; sets `app_pid` and
# `window`. $1 names the caller in the message when no window appears.
start_program_window() {
  "$2" >/dev/null 2>"$work/stderr" &
  app_pid=$!
  window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Form1$' 2>/dev/null | head -1)
  [[ -n "$window" ]] || { echo "$1: no window appeared: $(head -3 "$work/stderr")" >&2; exit 1; }
}
