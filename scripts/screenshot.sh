#!/usr/bin/env bash
# Takes a picture of the real program's window under Xvfb, a few seconds after a new universe
# was started: coloured bodies inside the outline of the world.
#
# Usage: scripts/screenshot.sh [output.png] [path-to-gravity]
#   Defaults: docs/screenshot.png and build/release/gravity (or GRAVITY=<path>). Builds nothing.
#   The view is zoomed out until the whole world square fits the window, so the outline and the
#   rings show, and the picture is taken SCREENSHOT_SECONDS (default 3) after a click at the centre.
#   Each run starts a different universe.
set -u

out=${1:-docs/screenshot.png}
binary=${2:-${GRAVITY:-build/release/gravity}}
wait_seconds=${SCREENSHOT_SECONDS:-3}
zoom_out_presses=39 # from the nearest view to a zoom of 40: the world is 500 pixels across

[[ -x "$binary" ]] || { echo "screenshot: $binary is not an executable (build the gravity target)" >&2; exit 2; }
[[ "$wait_seconds" =~ ^[0-9]+$ ]] || { echo "screenshot: SCREENSHOT_SECONDS must be a whole number" >&2; exit 2; }
for tool in Xvfb xdotool import; do
  command -v "$tool" >/dev/null || { echo "screenshot: $tool is missing (scripts/install-deps.sh measure)" >&2; exit 2; }
done
mkdir -p "$(dirname "$out")" || exit 1

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

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 150); do [[ -s "$work/display" ]] && break; sleep 0.2; done
[[ -s "$work/display" ]] || { echo "screenshot: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -1 "$work/display")"
unset WAYLAND_DISPLAY SDL_VIDEODRIVER

"$binary" >/dev/null 2>"$work/stderr" &
app_pid=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Form1$' 2>/dev/null | head -1)
[[ -n "$window" ]] || { echo "screenshot: no window appeared: $(head -3 "$work/stderr")" >&2; exit 1; }

xdotool mousemove --window "$window" 430 190 key --delay 5 --repeat "$zoom_out_presses" KP_Subtract click 1 ||
  { echo "screenshot: xdotool could not drive the window" >&2; exit 1; }
sleep "$wait_seconds"
import -window "$window" "png:$out.tmp" || { echo "screenshot: could not capture the window" >&2; exit 1; }
kill -0 "$app_pid" 2>/dev/null || { echo "screenshot: the program ended: $(head -3 "$work/stderr")" >&2; exit 1; }
mv "$out.tmp" "$out"
echo "screenshot: $out ($(identify -format '%w x %h' "$out"))"
