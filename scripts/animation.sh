#!/usr/bin/env bash
# Records a few seconds of the real program's window under Xvfb as an animated GIF: a new universe
# swirling, with trails on so the paths of the bodies build up.
#
# Usage: scripts/animation.sh [output.gif] [path-to-gravity]
#   Defaults: docs/universe.gif and build/release/gravity (or GRAVITY=<path>). Builds nothing.
#   The view is zoomed out, a universe is seeded at the middle of the window, trails are switched
#   on and the window is captured ANIMATION_FRAMES times (default 45) as fast as ImageMagick's
#   `import` can; each frame is shown for as long as it took to capture. Each run starts a
#   different universe.
set -u

out=${1:-docs/universe.gif}
binary=${2:-${GRAVITY:-build/release/gravity}}
frames=${ANIMATION_FRAMES:-45}
zoom_out_presses=${ANIMATION_ZOOM_OUT:-14} # from the nearest view to 15 world units per pixel
colours=64                                 # discs and trails on black need few

[[ -x "$binary" ]] || { echo "animation: $binary is not an executable (build the gravity target)" >&2; exit 2; }
[[ "$frames" =~ ^[0-9]+$ && "$frames" -ge 2 ]] || { echo "animation: ANIMATION_FRAMES must be a whole number >= 2" >&2; exit 2; }
[[ "$zoom_out_presses" =~ ^[0-9]+$ ]] || { echo "animation: ANIMATION_ZOOM_OUT must be a whole number" >&2; exit 2; }
for tool in Xvfb xdotool import convert; do
  command -v "$tool" >/dev/null || { echo "animation: $tool is missing (scripts/install-deps.sh measure)" >&2; exit 2; }
done
mkdir -p "$(dirname "$out")" || exit 1

# The real-window tests' private display, program start and window search.
source "$(dirname "$0")/../tests/window/lib.sh" "$binary"
start_display
start_gravity
window=$(find_window) || exit 1

xdotool mousemove --window "$window" 313 274 key --delay 5 --repeat "$zoom_out_presses" KP_Subtract \
  click 1 key t || { echo "animation: xdotool could not drive the window" >&2; exit 1; }

# Capture as fast as possible and remember when each frame was taken, in milliseconds.
for ((i = 0; i < frames; i++)); do
  import -window "$window" "$WORK/frame_$(printf %03d "$i").png" ||
    { echo "animation: could not capture the window" >&2; exit 1; }
  echo $(($(date +%s%N) / 1000000)) >>"$WORK/stamps"
done
alive || { echo "animation: the program ended: $(head -3 "$WORK/stderr")" >&2; exit 1; }

# Each frame stays up until the next one was taken (GIF delays are in hundredths of a second);
# the last one as long as the one before it.
delays=($(awk 'NR > 1 { d = int(($1 - last) / 10 + 0.5); print (d < 2 ? 2 : d) } { last = $1 }' "$WORK/stamps"))
delays+=("${delays[-1]}")
args=()
for ((i = 0; i < frames; i++)); do
  args+=(-delay "${delays[i]}" "$WORK/frame_$(printf %03d "$i").png")
done
convert "${args[@]}" -loop 0 +dither -colors "$colours" -layers Optimize "gif:$out.tmp" ||
  { echo "animation: could not assemble the GIF" >&2; exit 1; }
mv "$out.tmp" "$out"
total=$(awk '{ s += $1 } END { printf "%.1f", s / 100 }' <<<"$(printf '%s\n' "${delays[@]}")")
echo "animation: $out ($frames frames, $total s, $(stat -c %s "$out") bytes)"
