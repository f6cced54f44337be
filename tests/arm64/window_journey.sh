# The arm64 program under qemu on a private Xvfb: it opens one window titled Form1 with a
# 626 x 549 client area showing black, a click seeds coloured bodies, and Escape ends it with
# status 0. One start covers all of it, since every start under the emulator is slow.
# Usage: GRAVITY_EMULATOR=qemu-aarch64-static bash window_journey.sh <path-to-gravity>
source "$(dirname "$0")/../window/lib.sh" "$@"

open_program focus
size=$(window_size "$id")
[[ "$size" == "626 x 549" ]] || fail "client area is $size, expected 626 x 549"
# Until the program presents, the window may show Xvfb's grey root pattern.
is_black() {
  LAST=$(brightest "$id")
  [[ "$LAST" == 0 ]]
}
poll 30 is_black || fail "window is not black: brightest channel ${LAST:-unreadable} (0..1)"

xdotool click 1 || fail "xdotool could not click"
poll 30 shows_bodies "$id" || fail "no coloured pixel within 30 s of the click"
echo "measured: $COLOURED coloured pixels after the click"

xdotool key Escape || fail "xdotool could not press Escape"
wait_for_exit 30
[[ "$EXIT_STATUS" == 0 ]] || fail "exit status after Escape was $EXIT_STATUS, expected 0"
echo "ok: Form1 at $size, black, coloured after a click, ended by Escape with status 0"
