# Shared by the real-window tests (sourced, not run): a private Xvfb display or headless sway, the
# program under test started on it, polling helpers, and clean-up of every process on exit.
# Usage in a test: source "$(dirname "$0")/lib.sh" "$@"
# A Wayland test sets WINDOW_SYSTEM=wayland before that line.

# The tools the helpers below drive: ImageMagick reads every picture; on X, Xvfb, xdotool and
# x11-utils' xdpyinfo, xwininfo and xprop; on Wayland, sway (with swaymsg), wtype, grim, jq and
# setpriv.
source "$(dirname "${BASH_SOURCE[0]}")/../require_tools.sh"
if [[ "${WINDOW_SYSTEM:-x11}" == wayland ]]; then
  require_tools sway swaymsg wtype grim jq setpriv convert compare
else
  require_tools Xvfb xdotool xdpyinfo xwininfo xprop import convert compare
fi

GRAVITY=${1:?usage: bash $0 <path-to-gravity>}
[[ -x "$GRAVITY" ]] || { echo "FAIL: $GRAVITY is not an executable" >&2; exit 1; }
WORK=$(mktemp -d)
XVFB_PID=
SWAY_PID=
RUN=
APP_PID=

cleanup() {
  [[ -n "$APP_PID" ]] && kill -KILL "$APP_PID" 2>/dev/null
  [[ -n "$XVFB_PID" ]] && kill "$XVFB_PID" 2>/dev/null
  [[ -n "$SWAY_PID" ]] && kill "$SWAY_PID" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$WORK" ${RUN:+"$RUN"}
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
# picture of its own does not pass for black. XVFB_SCREEN (WxHxD) sets the screen's size and depth.
# XVFB_DPI announces a density the way a scaled desktop does: as the screen's own and as Xft.dpi in
# the resource database (which the server keeps only if it does not reset between clients).
start_display() {
  local dpi=()
  [[ -n "${XVFB_DPI:-}" ]] && dpi=(-dpi "$XVFB_DPI" -noreset)
  Xvfb -displayfd 3 -screen 0 "${XVFB_SCREEN:-1280x1024x24}" "${dpi[@]}" -retro -nolisten tcp \
    3>"$WORK/display" 2>"$WORK/xvfb.log" &
  XVFB_PID=$!
  poll 30 test -s "$WORK/display" || fail "Xvfb did not start: $(tail -3 "$WORK/xvfb.log")"
  export DISPLAY=":$(head -1 "$WORK/display")"
  unset WAYLAND_DISPLAY SDL_VIDEODRIVER
  poll 30 xdpyinfo >/dev/null 2>&1 || fail "display $DISPLAY does not answer"
  if [[ -n "${XVFB_DPI:-}" ]]; then
    xprop -root -f RESOURCE_MANAGER 8s -set RESOURCE_MANAGER "Xft.dpi:	$XVFB_DPI" ||
      fail "could not set Xft.dpi"
  fi
}

# GRAVITY_EMULATOR, when set, runs the program: qemu's user-mode emulator for another processor's
# build. The emulator runs in the program's own process, so its id and exit status are the program's.
start_gravity() {
  # shellcheck disable=SC2086 # an empty emulator is no word at all
  ${GRAVITY_EMULATOR:-} "$GRAVITY" >"$WORK/stdout" 2>"$WORK/stderr" &
  APP_PID=$!
}

alive() { kill -0 "$APP_PID" 2>/dev/null; }

# Prints "x y", the places listed one "x y" a line in file $1 at percentile $2 across and down
# (50 by default: the middle of a swarm of pixels even when a few have flown off or wrapped to the
# far edge).
median_place() {
  local x y at=${2:-50}
  x=$(cut -d' ' -f1 "$1" | sort -n | awk -v p="$at" '{ v[NR] = $1 } END { print v[int((NR - 1) * p / 100) + 1] }')
  y=$(cut -d' ' -f2 "$1" | sort -n | awk -v p="$at" '{ v[NR] = $1 } END { print v[int((NR - 1) * p / 100) + 1] }')
  echo "$x $y"
}

# Prints the id of the program's window, waiting for it to be mapped.
find_window() {
  # A search gives up at once when a window it looks at is destroyed meanwhile, as Wine's helper
  # windows are while a program starts, so it is tried again until the time is up.
  local id="" end=$((SECONDS + 30))
  while [[ -z "$id" ]] && ((SECONDS < end)); do
    id=$(timeout $((end - SECONDS)) xdotool search --sync --onlyvisible --name '^Form1$' 2>/dev/null |
      head -1)
    [[ -n "$id" ]] || sleep 0.2
  done
  [[ -n "$id" ]] || fail "no window titled Form1 appeared within 30 s (program running: $(alive && echo yes || echo no))"
  echo "$id"
}

# Starts a private display and the program on it, and sets `id` to the program's window. With
# `focus`, also moves the pointer to the middle of the window, which gives it the keyboard focus.
open_program() {
  start_display
  start_gravity
  id=$(find_window) || exit 1
  if [[ "${1:-}" == focus ]]; then
    xdotool mousemove --window "$id" 313 274 || fail "xdotool could not move the pointer"
  fi
}

# Waits up to `seconds` for the program to end and sets EXIT_STATUS; fails if it does not end.
wait_for_exit() {
  local seconds=$1
  poll "$seconds" eval '! alive' || fail "the program was still running $seconds s later"
  wait "$APP_PID"
  EXIT_STATUS=$?
  APP_PID=
}

# Saves window $1's picture as the PNG $2, always with three channels (at the screen's depth):
# ImageMagick 7 (Debian 13) would write a picture with no colour in it (playback, say) as
# greyscale, which has no green or blue channel to read back.
capture() { import -window "$1" -define png:color-type=2 "png:$2" 2>/dev/null; }

# The brightest channel value (0..1) in the window's picture.
brightest() {
  capture "$1" "$WORK/shot.png" &&
    convert "$WORK/shot.png" -format '%[fx:maxima]' info: 2>/dev/null
}

# ---- Reading the picture back as pixels (the player's-journey tests) ----

# Milliseconds on a steady-enough clock, for measuring how soon the program reacts.
now_ms() { echo $(($(date +%s%N) / 1000000)); }

# Takes a screenshot of window $1 (on Wayland: of the program's window) into $WORK/snap.png, which
# the helpers below read.
snap() {
  if [[ -n "$SWAY_PID" ]]; then
    as_user grim -g "$WINDOW_GEOMETRY" "$RUN/snap.png" 2>/dev/null && cp "$RUN/snap.png" "$WORK/snap.png"
  else
    capture "$1" "$WORK/snap.png"
  fi
}

# Counts pixels of the last screenshot: COLOURED (channels not all equal: bodies' discs and
# trails), LIT (anything not black) and WHITE (255, 255, 255: playback marks). The overlay and
# the playback marks are grey or white, so LIT - COLOURED of them.
count_pixels() {
  # A pixel's saturation is zero exactly when its three channels are equal.
  COLOURED=$(convert "$WORK/snap.png" -colorspace HSL -channel G -separate +channel -threshold 0 \
    -format '%[fx:round(mean*w*h)]' info: 2>/dev/null)
  LIT=$(convert "$WORK/snap.png" -fill white +opaque black \
    -format '%[fx:round(mean*w*h)]' info: 2>/dev/null)
  WHITE=$(convert "$WORK/snap.png" -fill black +opaque white \
    -format '%[fx:round(mean*w*h)]' info: 2>/dev/null)
  [[ "$COLOURED" =~ ^[0-9]+$ && "$LIT" =~ ^[0-9]+$ && "$WHITE" =~ ^[0-9]+$ ]]
}

# Prints "left right top bottom", in window pixels, of the box around every pixel of exactly the
# colour $1 (e.g. 'rgb(50,50,50)') in the last screenshot; fails when there is no such pixel.
colour_box() {
  local box
  # The black border keeps a pixel in a corner from being taken for the background by -trim.
  box=$(convert "$WORK/snap.png" -bordercolor black -border 1 -fill black +opaque "$1" \
    -format '%@' info: 2>/dev/null)
  [[ "$box" =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || return 1
  local w=${BASH_REMATCH[1]} h=${BASH_REMATCH[2]} x=${BASH_REMATCH[3]} y=${BASH_REMATCH[4]}
  ((w > 0 && h > 0)) || return 1
  echo "$((x - 1)) $((x + w - 2)) $((y - 1)) $((y + h - 2))"
}

# True when window $1 shows bodies: at least one coloured pixel. Sets the counts above.
shows_bodies() { snap "$1" && count_pixels && ((COLOURED > 0)); }

# True when window $1 shows playback: white marks and not one coloured pixel.
shows_marks_only() { snap "$1" && count_pixels && ((COLOURED == 0 && WHITE > 0)); }

# True when window $1 shows the world outline, RGB(50, 50, 50), spanning what the pattern $2
# matches ("left right top bottom" in window pixels, e.g. "63 563 *"). Sets OUTLINE to its span.
outline_spans() {
  OUTLINE=
  # shellcheck disable=SC2053 # $2 is a pattern
  snap "$1" && OUTLINE=$(colour_box 'rgb(50,50,50)') && [[ "$OUTLINE" == $2 ]]
}

# Keypad minus until Zoom is 40, where the whole world square (63..563 across, 24.5..524.5 down the
# 626 x 549 window) is on the surface and no body can drift out of sight. Waits for the outline.
zoom_out_to_whole_world() {
  xdotool key --delay 15 --repeat 39 KP_Subtract || fail "xdotool could not press keypad minus"
  poll 20 outline_spans "$1" "63 563 *" ||
    fail "after 39 x keypad minus the outline spans '${OUTLINE:-nothing}' (left right top bottom), expected 63 to 563 across"
}

# True when the image $1 has a pixel whose channels are not all equal.
has_colour() {
  local most
  most=$(convert "$1" -colorspace HSL -channel G -separate +channel -format '%[fx:maxima]' info: 2>/dev/null)
  [[ -n "$most" && "$most" != 0 ]]
}

# Runs "${@:3}" (a click, say) on window $1, which must show no colour yet, and measures how soon
# afterwards it shows colour, giving up after $2 seconds. Screenshots are taken back to back in
# the background from before the command on, each stamped when it is done, and read in order
# here, so reading them does not slow the sampling down. Sets, in ms from the command's start,
# COLOUR_BY_MS (the first screenshot with colour was done by then) and NONE_AT_MS (the last one
# without colour was done by then), and leaves the first coloured screenshot as $WORK/snap.png for
# the helpers above. Fails when the command fails or no screenshot shows colour.
time_until_colour() {
  local id=$1 seconds=$2 k=0 stamp burst start status=0
  shift 2
  rm -f "$WORK"/burst.* "$WORK"/burst_*.png
  (
    n=0
    while [[ ! -e "$WORK/burst.stop" ]] && ((n < 500)); do
      if capture "$id" "$WORK/burst_$n.png"; then
        echo "$n $(now_ms)" >>"$WORK/burst.log"
      else
        echo "$n failed" >>"$WORK/burst.log"
      fi
      n=$((n + 1))
    done
  ) &
  burst=$!
  poll 10 test -s "$WORK/burst.log"
  start=$(now_ms)
  "$@" || status=1
  COLOUR_BY_MS=
  NONE_AT_MS=
  while ((status == 0 && $(now_ms) - start < seconds * 1000)); do
    stamp=$(awk -v k="$k" '$1 == k { print $2 }' "$WORK/burst.log" 2>/dev/null)
    if [[ -z "$stamp" ]]; then
      sleep 0.02
      continue
    fi
    if [[ "$stamp" != failed ]]; then
      if has_colour "$WORK/burst_$k.png"; then
        COLOUR_BY_MS=$((stamp - start))
        mv "$WORK/burst_$k.png" "$WORK/snap.png"
        break
      fi
      NONE_AT_MS=$((stamp - start))
    fi
    rm -f "$WORK/burst_$k.png"
    k=$((k + 1))
  done
  touch "$WORK/burst.stop"
  wait "$burst"
  [[ -n "$COLOUR_BY_MS" ]]
}

# --- Pictures, geometry and counts, for the resize, hide and input-burst tests ---

# Prints the window's client area as "W x H".
window_size() {
  xwininfo -id "$1" 2>/dev/null | awk '/^ *Width:/ {w = $2} /^ *Height:/ {h = $2} END {print w " x " h}'
}

# Prints "IsViewable" or "IsUnMapped" (or "IsUnviewable") for the window.
map_state() { xwininfo -id "$1" 2>/dev/null | awk '/Map State:/ {print $3}'; }

# Counts the pixels of a picture (or of its crop WxH+X+Y) whose red and green differ. A body's
# rim and fill never have equal red and green, while the overlay, the playback marks and Xvfb's
# root pattern are all grey: so this counts pixels painted by bodies.
coloured_pixels() {
  local crop=()
  [[ -n "${2:-}" ]] && crop=(-crop "$2" +repage)
  convert "$1" "${crop[@]}" -separate -delete 2 -compose Difference -composite -threshold 0 \
    -format '%[fx:round(mean*w*h)]' info: 2>/dev/null
}

# Counts the coloured pixels of a picture, into COLOURED_ALL, and those within HALF pixels of
# (X, Y), into NEAR; false when they could not be counted or there are none. A universe seeded in a
# ring there has most of its colour near, even when a body was flung far in the first ticks
# (bodies seeded almost on top of each other pull that hard); one spread over the world, little.
#   count_near PICTURE X Y HALF
count_near() {
  local left=$(($2 > $4 ? $2 - $4 : 0)) top=$(($3 > $4 ? $3 - $4 : 0)) side=$((2 * $4 + 1))
  COLOURED_ALL=$(coloured_pixels "$1")
  NEAR=$(coloured_pixels "$1" "${side}x${side}+$left+$top")
  [[ "$COLOURED_ALL" =~ ^[0-9]+$ && "$NEAR" =~ ^[0-9]+$ ]] && ((COLOURED_ALL > 0))
}

# Counts the pixels that are lit (any channel above 0) in the first picture and black in the
# second, which must have the same size. With trails on nothing erases, so ticking only ever adds
# paint: a pixel counted here was lost by something else.
lost_pixels() {
  convert \( "$1" -separate -evaluate-sequence Max -threshold 0 \) \
    \( "$2" -separate -evaluate-sequence Max -threshold 0 -negate \) \
    -compose Multiply -composite -format '%[fx:round(mean*w*h)]' info: 2>/dev/null
}

# Succeeds when two pictures differ in at least one pixel (or in size).
pictures_differ() { [[ "$(compare -metric AE "$1" "$2" null: 2>&1)" != 0 ]]; }

# Waits up to `seconds` for the window's picture to change from what it shows now: proof that
# the program is still drawing and presenting.
wait_for_change() {
  local id=$1 seconds=$2
  capture "$id" "$WORK/change_from.png" || return 1
  changed() { capture "$id" "$WORK/change_to.png" && pictures_differ "$WORK/change_from.png" "$WORK/change_to.png"; }
  poll "$seconds" changed
}

# The measuring build beside the program under test, if it was built: it prints
# "firings_t=N firings_h=N presents=N" once a second, which lets a test see what the program did
# while its window could not be seen.
STATS_BINARY="$(dirname "$GRAVITY")/gravity_stats"

# Waits up to `seconds` for a line of counts, printed after line `after` of the program's stdout,
# that satisfies the awk condition (fields: t, h, p), e.g. 'p == 0 && t > 0'.
wait_for_counts() {
  local after=$1 seconds=$2 condition=$3
  counts_match() {
    tail -n +"$((after + 1))" "$WORK/stdout" |
      awk -F'[ =]' "{t = \$2; h = \$4; p = \$6} $condition {found = 1} END {exit !found}"
  }
  poll "$seconds" counts_match
}

count_lines() { wc -l <"$WORK/stdout"; }

# ---- Wayland: the program under a headless sway ----

# Sets AS_USER to the command that runs what follows it (NAME=VALUE settings, then a command) with
# only the Wayland session's environment, so nothing can reach an X server. sway refuses to run as
# root: as root, sway and all its clients run as the unprivileged user nobody, whose runtime folder
# $RUN is. Started in the background straight from AS_USER, a process's id is $! itself.
choose_user() {
  AS_USER=()
  [[ $(id -u) == 0 ]] && AS_USER=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  AS_USER+=(env -i PATH="$PATH" HOME="$RUN" XDG_RUNTIME_DIR="$RUN"
    ${WAYLAND_DISPLAY_NAME:+WAYLAND_DISPLAY="$WAYLAND_DISPLAY_NAME"} ${SWAYSOCK:+SWAYSOCK="$SWAYSOCK"})
}
as_user() { "${AS_USER[@]}" "$@"; }

# Starts sway with its headless back end and a 2560 x 2048 screen at scale $1 (1 by default), with
# no input devices of its own: keys come from wtype's virtual keyboard. The program's window floats
# borderless in the top-left corner, at the size it asks for.
start_sway() {
  WAYLAND_DISPLAY_NAME=
  SWAYSOCK=
  RUN=$(mktemp -d)
  [[ $(id -u) == 0 ]] && chown 65534:65534 "$RUN"
  chmod 700 "$RUN"
  cat >"$RUN/sway.conf" <<CONF
output * resolution 2560x2048 scale ${1:-1}
for_window [title="^Form1\$"] floating enable, border none, move position 0 0
CONF
  chmod 644 "$RUN/sway.conf"
  choose_user
  "${AS_USER[@]}" WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
    sway -c "$RUN/sway.conf" >"$WORK/sway.log" 2>&1 &
  SWAY_PID=$!
  sway_listens() { compgen -G "$RUN/wayland-[0-9]" >/dev/null && compgen -G "$RUN/sway-ipc.*" >/dev/null; }
  poll 30 sway_listens || fail "sway did not start: $(tail -3 "$WORK/sway.log")"
  WAYLAND_DISPLAY_NAME=$(basename "$(compgen -G "$RUN/wayland-[0-9]" | head -1)")
  SWAYSOCK=$(compgen -G "$RUN/sway-ipc.*" | head -1)
  choose_user
}

# Starts the program on sway through SDL's Wayland driver and waits for its window, setting
# WINDOW_GEOMETRY ("X,Y WxH" in sway's coordinates, for grim) and WINDOW_SIZE ("W x H").
open_program_on_wayland() {
  "${AS_USER[@]}" SDL_VIDEODRIVER=wayland "$GRAVITY" >"$WORK/stdout" 2>"$WORK/stderr" &
  APP_PID=$!
  window_rect() {
    WINDOW_GEOMETRY=$(as_user swaymsg -t get_tree 2>/dev/null |
      jq -r '.. | objects | select(.name? == "Form1" and .visible == true) | .rect |
             "\(.x),\(.y) \(.width)x\(.height)"' 2>/dev/null | head -1)
    [[ -n "$WINDOW_GEOMETRY" ]]
  }
  poll 30 window_rect ||
    fail "no window titled Form1 appeared on sway within 30 s (program running: $(alive && echo yes || echo no))"
  WINDOW_SIZE=$(sed -E 's/.* ([0-9]+)x([0-9]+)$/\1 x \2/' <<<"$WINDOW_GEOMETRY")
}

# Types the keys "$@" (xkb names) into the focused window, 15 ms apart. A new virtual keyboard's
# first keys are lost while its keymap reaches the program, hence the pause before them.
wayland_keys() {
  local args=(-s 300) key
  for key in "$@"; do
    args+=(-k "$key" -s 15)
  done
  as_user wtype "${args[@]}" || fail "wtype could not type $*"
}

stop_sway() {
  kill "$SWAY_PID" 2>/dev/null
  wait "$SWAY_PID" 2>/dev/null
  SWAY_PID=
  rm -rf "$RUN"
  RUN=
}
