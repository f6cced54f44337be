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

# The real-window tests' private display, program start and window search.
source "$(dirname "$0")/../tests/window/lib.sh" "$binary"
start_display
start_gravity
window=$(find_window) || exit 1

xdotool mousemove --window "$window" 430 190 key --delay 5 --repeat "$zoom_out_presses" KP_Subtract click 1 ||
  { echo "screenshot: xdotool could not drive the window" >&2; exit 1; }
sleep "$wait_seconds"
import -window "$window" "png:$out.tmp" || { echo "screenshot: could not capture the window" >&2; exit 1; }
alive || { echo "screenshot: the program ended: $(head -3 "$WORK/stderr")" >&2; exit 1; }
mv "$out.tmp" "$out"
echo "screenshot: $out ($(identify -format '%w x %h' "$out"))"
