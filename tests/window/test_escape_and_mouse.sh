# Releasing a mouse button on the window starts a universe whose bodies show up in colour;
# Escape then closes the window and ends the program with status 0.
source "$(dirname "$0")/lib.sh" "$@"

open_program

# Real input through the X server, with the pointer over the window so it also has the focus.
xdotool mousemove --window "$id" 313 274 click 1 || fail "xdotool could not click"
has_colour() {
  LAST=$(brightest "$id")
  [[ -n "$LAST" && "$LAST" != 0 ]]
}
poll 20 has_colour || fail "nothing drawn after a click: brightest channel ${LAST:-unreadable}"

xdotool key Escape || fail "xdotool could not press Escape"
wait_for_exit 20
[[ "$EXIT_STATUS" == 0 ]] || fail "exit status after Escape was $EXIT_STATUS, expected 0"
echo "ok: a click drew bodies (brightest channel $LAST), Escape exited 0"
