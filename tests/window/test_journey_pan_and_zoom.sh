# Before any click, keypad minus zooms out until the whole world outline is on the surface; each
# arrow key then moves the picture by exactly 30 pixels, at any zoom, and keypad plus and minus
# resize the outline as the zoom divisor predicts: at zoom z it spans 313 -+ 10000 / z across.
source "$(dirname "$0")/lib.sh" "$@"

open_program focus

zoom_out_to_whole_world "$id"
read -r left right top bottom <<<"$OUTLINE"
echo "zoom 40: outline $OUTLINE (left right top bottom)"

# Presses key $1 and waits for the outline to span $2; $3 says what the player expects.
press_and_expect() {
  xdotool key "$1" || fail "xdotool could not press $1"
  poll 10 outline_spans "$id" "$2" ||
    fail "after $1 the outline spans '${OUTLINE:-nothing}', expected '$2': $3"
  echo "$1: outline $OUTLINE"
}

press_and_expect Left "$((left + 30)) $((right + 30)) $top $bottom" "Left moves the picture 30 right"
press_and_expect Right "$left $right $top $bottom" "Right moves it back"
press_and_expect Right "$((left - 30)) $((right - 30)) $top $bottom" "Right moves the picture 30 left"
press_and_expect Left "$left $right $top $bottom" "Left moves it back"
# The window is 549 high, so a step down pushes the bottom edge out and the sides end at row 548.
press_and_expect Up "$left $right $((top + 30)) 548" "Up moves the picture 30 down"
press_and_expect Down "$left $right $top $bottom" "Down moves it back"
press_and_expect Down "$left $right 0 $((bottom - 30))" "Down moves the picture 30 up"
press_and_expect Up "$left $right $top $bottom" "Up moves it back"

# With the offsets back at 0 the outline is centred on x = 313, the middle of the 626 wide window.
span_at_zoom() {
  awk -v z="$1" 'BEGIN { printf "%.0f %.0f *", 313 - 10000 / z, 313 + 10000 / z }'
}
press_and_expect KP_Add "$(span_at_zoom 39)" "keypad plus zooms in to 39"
xdotool key KP_Subtract || fail "xdotool could not press keypad minus"
press_and_expect KP_Subtract "$(span_at_zoom 41)" "keypad minus twice zooms out to 41"

# Zooming out stops at 150 (at 161 the outline would span 251..375), and a pan step is still 30
# pixels there. The Left after the burst is handled after every keypad minus before it, so the
# outline it shows is the final zoom's.
xdotool key --delay 15 --repeat 120 KP_Subtract || fail "xdotool could not press keypad minus"
read -r left right _ <<<"$(span_at_zoom 150)"
press_and_expect Left "$((left + 30)) $((right + 30)) *" \
  "120 x keypad minus from 41 stops at zoom 150 ($left..$right), then Left moves the picture 30 right"

alive || fail "the program ended"
echo "ok: arrows move the outline by 30 pixels, keypad plus and minus resize it as 10000 / zoom predicts"
