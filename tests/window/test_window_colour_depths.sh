# The program opens and draws a universe on a 30-bit (deep colour) and on a 16-bit X screen, whose
# windows have pixel formats unlike the program's own.
source "$(dirname "$0")/lib.sh" "$@"

for depth in 30 16; do
  XVFB_SCREEN=1280x1024x$depth open_program focus
  xdotool click 1 || fail "xdotool could not click"
  poll 20 shows_bodies "$id" || fail "no bodies drawn on a $depth-bit screen"
  xdotool key Escape || fail "xdotool could not press Escape"
  wait_for_exit 10
  ((EXIT_STATUS == 0)) || fail "exit status $EXIT_STATUS on a $depth-bit screen"
  kill "$XVFB_PID" && wait "$XVFB_PID" 2>/dev/null
  XVFB_PID=
  rm -f "$WORK/display"  # so the next display is waited for afresh
done
echo "ok: drawn on 30-bit and 16-bit screens"
