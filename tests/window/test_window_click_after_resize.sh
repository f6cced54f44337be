# A click and a resize that reach the program together: the click seeds under the pointer, mapped
# with the window's size at one moment, and the universe's ring shows up where the click was.
source "$(dirname "$0")/lib.sh" "$@"

# A screen the grown window fits on, so the pointer can reach the click's place.
XVFB_SCREEN=1920x1200x24 open_program focus
xdotool windowmove --sync "$id" 0 0 || fail "xdotool could not move the window"
# Zoom 20: a ring seeded around the pointer is 50 pixels across, and the world, 1000 pixels across,
# holds the place of the click.
xdotool key --delay 15 --repeat 19 KP_Subtract || fail "xdotool could not press keypad minus"

# Prints "left right top bottom" of the coloured pixels in the last screenshot.
coloured_box() {
  local box
  box=$(convert "$WORK/snap.png" -separate -delete 2 -compose Difference -composite -threshold 0 \
    -bordercolor black -border 1 -format '%@' info: 2>/dev/null)
  [[ "$box" =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || return 1
  local w=${BASH_REMATCH[1]} h=${BASH_REMATCH[2]} x=${BASH_REMATCH[3]} y=${BASH_REMATCH[4]}
  ((w > 1 && h > 1)) || return 1
  echo "$((x - 1)) $((x + w - 2)) $((y - 1)) $((y + h - 2))"
}
# Prints "x y", the median of the coloured pixels' places in the last screenshot.
coloured_middle() {
  convert "$WORK/snap.png" -separate -delete 2 -compose Difference -composite -threshold 0 \
    -depth 8 txt:- 2>/dev/null | awk -F'[:,() ]+' 'NR > 1 && $3 > 0 { print $1, $2 }' >"$WORK/places"
  median_place "$WORK/places"
}
# True when the bodies in the last screenshot are gathered in a ring: most of their colour lies
# within 150 pixels of its median place. Not all of it: bodies seeded almost on top of each other
# pull so hard that one may be flung across the world in the first ticks. Sets BOX.
ringed() {
  BOX=$(coloured_box) || return 1
  local x y all near
  read -r x y <<<"$(coloured_middle)"
  [[ "$x" =~ ^[0-9]+$ && "$y" =~ ^[0-9]+$ ]] || return 1
  all=$(coloured_pixels "$WORK/snap.png")
  near=$(coloured_pixels "$WORK/snap.png" "300x300+$((x > 150 ? x - 150 : 0))+$((y > 150 ? y - 150 : 0))")
  [[ "$all" =~ ^[0-9]+$ && "$near" =~ ^[0-9]+$ ]] && ((all > 0 && 2 * near > all))
}
has_size() { [[ "$(window_size "$id")" == "$1 x $2" ]]; }
shows_no_colour() { snap "$id" && count_pixels && ((COLOURED == 0)); }

# Half the universes are spread over the whole surface instead of ringed around the pointer, so
# the click is tried until one is ringed, and that one must be around the click. The first
# screenshot with colour after the click is the one read: however late a busy machine takes it,
# the bodies have had a moment to fly, not seconds.
for attempt in $(seq 10); do
  xdotool windowsize "$id" 1300 1000 || fail "xdotool could not resize the window"
  poll 10 has_size 1300 1000 || fail "the window did not take the size 1300 x 1000"
  sleep 0.3
  # The last universe out of sight: playback shows no colour.
  if ((attempt > 1)); then
    xdotool key Return || fail "xdotool could not press Enter"
    poll 10 shows_no_colour || fail "playback still shows $COLOURED coloured pixels"
  fi
  # One command, so the click and the resize reach the program together. The picture stays
  # anchored at the top-left corner, so the ring stays where it was seeded.
  time_until_colour "$id" 10 xdotool mousemove --window "$id" 1100 800 click 1 \
    windowsize "$id" 1800 1100 || fail "no colour within 10 s of the click"
  ringed && break
  ((attempt == 10)) && fail "in 10 tries no universe was seeded in a ring"
done
# Gathered round the click.
read -r x y <<<"$(coloured_middle)"
((x >= 1025 && x <= 1175 && y >= 725 && y <= 875)) ||
  fail "a universe seeded at (1100, 800) gathered round (${x:-?}, ${y:-?}), spanning $BOX (left right top bottom)"
alive || fail "the program ended"
echo "ok: a click together with a resize seeded around (1100, 800): bodies round ($x, $y), spanning $BOX"
