# The program opens one window titled Form1 with a 626 x 549 client area, showing black.
source "$(dirname "$0")/lib.sh" "$@"

open_program

geometry=$(xwininfo -id "$id")
width=$(awk '/^ *Width:/ {print $2}' <<<"$geometry")
height=$(awk '/^ *Height:/ {print $2}' <<<"$geometry")
[[ "$width" == 626 && "$height" == 549 ]] ||
  fail "client area is ${width} x ${height}, expected 626 x 549"

# Until the program presents, the window may show whatever was behind it (Xvfb's grey root
# pattern); so poll until the picture is black, and report the last brightness seen.
is_black() {
  LAST=$(brightest "$id")
  [[ "$LAST" == 0 ]]
}
poll 20 is_black || fail "window is not black: brightest channel ${LAST:-unreadable} (0..1)"

alive || fail "the program ended on its own"
echo "ok: window Form1, ${width} x ${height}, black"
