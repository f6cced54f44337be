# Resizing the window while a universe runs: the window takes each new size, the program keeps
# ticking and drawing at 200 x 150 and at 1200 x 900, keeps the part of its picture that still
# fits, shows black in the new area right of and below it, and draws there after a click: the
# surface grew, not only the window.
#
# The history fills after about a minute of simulation and from then on the program plays back
# (no colour), so every step below waits only for what it needs and moves on.
source "$(dirname "$0")/lib.sh" "$@"

open_program

corner_has_paint() {
  capture "$id" "$WORK/before.png" || return 1
  LAST=$(coloured_pixels "$WORK/before.png" 200x150+0+0)
  [[ -n "$LAST" ]] && ((LAST >= 300))
}
has_size() {
  SIZE=$(window_size "$id")
  [[ "$SIZE" == "$1 x $2" ]]
}

# Trails on, so nothing the program draws is ever erased; then a universe around a point in the
# top-left corner, which is the part of the picture a shrink keeps.
xdotool mousemove --window "$id" 313 274 key t || fail "xdotool could not press T"
for attempt in 1 2 3 4; do
  xdotool mousemove --window "$id" 100 75 click 1 || fail "xdotool could not click"
  poll 10 corner_has_paint && break
  ((attempt == 4)) && fail "too few trails in the top-left 200 x 150 after 4 universes (${LAST:-?} coloured pixels)"
done
wait_for_change "$id" 20 || fail "the picture stopped changing before any resize"

# Shrink. The kept corner must still hold every trail pixel it had: ticking can only add to it.
convert "$WORK/before.png" -crop 200x150+0+0 +repage "$WORK/before_corner.png"
xdotool windowsize "$id" 200 150 || fail "xdotool could not resize the window"
poll 20 has_size 200 150 || fail "window is $SIZE after resizing to 200 x 150"
# The program presents a new size within a refresh of the display; wait a little longer, but
# not so long that fresh trails cover up pixels that went missing.
sleep 0.3
capture "$id" "$WORK/small.png" || fail "could not capture the 200 x 150 window"
lost=$(lost_pixels "$WORK/before_corner.png" "$WORK/small.png")
[[ "$lost" == 0 ]] || fail "$lost trail pixels of the kept corner turned black on shrinking"
kept_small=$(coloured_pixels "$WORK/before_corner.png")
alive || fail "the program ended after shrinking"

# Zoomed out as far as it goes, the whole world fits the small window, so every body is in view
# and the trails must keep growing.
xdotool mousemove --window "$id" 100 75 key --delay 2 --repeat 149 KP_Subtract ||
  fail "xdotool could not press keypad minus"
wait_for_change "$id" 20 || fail "the picture stopped changing at 200 x 150"
has_bodies() {
  capture "$id" "$WORK/small.png" || return 1
  LAST=$(coloured_pixels "$WORK/small.png")
  [[ -n "$LAST" ]] && ((LAST > 0))
}
poll 20 has_bodies || fail "no bodies shown at 200 x 150 with the whole world in view"

# Grow. Right of and below the world's square the new area starts as Xvfb's grey root pattern and
# must turn black, and the old 200 x 150 picture, well away from it, must be kept.
xdotool windowsize "$id" 1200 900 || fail "xdotool could not resize the window"
poll 20 has_size 1200 900 || fail "window is $SIZE after resizing to 1200 x 900"
brightest_in() { convert "$WORK/big.png" -crop "$1" +repage -format '%[fx:maxima]' info: 2>/dev/null; }
new_area_black() {
  capture "$id" "$WORK/big.png" || return 1
  RIGHT=$(brightest_in 500x900+700+0)
  BELOW=$(brightest_in 1200x300+0+600)
  [[ "$RIGHT" == 0 && "$BELOW" == 0 ]]
}
poll 20 new_area_black ||
  fail "the grown area is not black: brightest ${RIGHT:-unreadable} right of x = 700, ${BELOW:-unreadable} below y = 600"
convert "$WORK/big.png" -crop 200x150+0+0 +repage "$WORK/big_corner.png"
lost=$(lost_pixels "$WORK/small.png" "$WORK/big_corner.png")
[[ "$lost" == 0 ]] || fail "$lost pixels of the 200 x 150 picture turned black on growing"
kept_big=$(coloured_pixels "$WORK/small.png")
wait_for_change "$id" 20 || fail "the picture stopped changing at 1200 x 900"

# Back to the nearest view, and a universe far out in the grown area: it is drawn there.
xdotool mousemove --window "$id" 1000 750 key --delay 2 --repeat 149 KP_Add click 1 ||
  fail "xdotool could not zoom in and click"
grown_area_has_bodies() {
  capture "$id" "$WORK/big.png" || return 1
  LAST=$(coloured_pixels "$WORK/big.png" 500x300+700+600)
  [[ -n "$LAST" ]] && ((LAST > 0))
}
poll 20 grown_area_has_bodies || fail "no bodies drawn right of x = 700 and below y = 600 after a click there"
wait_for_change "$id" 20 || fail "the picture stopped changing after the click at 1200 x 900"

alive || fail "the program ended"
xdotool key Escape || fail "xdotool could not press Escape"
wait_for_exit 20
[[ "$EXIT_STATUS" == 0 ]] || fail "exit status after Escape was $EXIT_STATUS, expected 0"
echo "ok: kept ${kept_small} and ${kept_big} coloured pixels on shrinking and growing, kept ticking" \
  "at 200 x 150 and 1200 x 900, drew in the grown area"
