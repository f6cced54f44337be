# A resized window shows the program's picture over the whole new client area, and the drawing
# surface grows with it.
source "$(dirname "$0")/lib.sh" "$@"

open_program

xdotool windowsize "$id" 900 700 || fail "xdotool could not resize the window"
has_size() {
  local geometry
  geometry=$(xwininfo -id "$id")
  SIZE="$(awk '/^ *Width:/ {print $2}' <<<"$geometry") x $(awk '/^ *Height:/ {print $2}' <<<"$geometry")"
  [[ "$SIZE" == "900 x 700" ]]
}
poll 20 has_size || fail "window is $SIZE after resizing to 900 x 700"

# The grown area starts out as Xvfb's grey root pattern; it must turn black once the program
# presents its resized surface.
is_black() {
  LAST=$(brightest "$id")
  [[ "$LAST" == 0 ]]
}
poll 20 is_black || fail "resized window is not black: brightest channel ${LAST:-unreadable}"

# The new universe gathers around the click, so bodies must show up in the grown strip to the
# right of the old width: the surface really grew, not only the window.
xdotool mousemove --window "$id" 800 350 click 1 || fail "xdotool could not click"
grown_strip_has_colour() {
  import -window "$id" "$WORK/shot.png" 2>/dev/null || return 1
  LAST=$(convert "$WORK/shot.png" -crop 274x700+626+0 -format '%[fx:maxima]' info: 2>/dev/null)
  [[ -n "$LAST" && "$LAST" != 0 ]]
}
poll 20 grown_strip_has_colour ||
  fail "nothing drawn right of x = 626 after a click there: brightest channel ${LAST:-unreadable}"
alive || fail "the program ended"
echo "ok: resized to $SIZE, black, then drawn in the grown area after a click"
