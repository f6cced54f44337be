# Hiding the window and showing it again while a universe runs: the program notices, keeps the
# simulation going, shows the picture again when the window is back, and still answers keys.
#
# Xvfb has no window manager, so minimising may do nothing; unmapping the window is what a
# manager does when it minimises one, and is tried first. When the measuring build sits beside
# the program it is run instead, and its counts show the timers firing while nothing is presented.
source "$(dirname "$0")/lib.sh" "$@"

counted=no
if [[ -x "$STATS_BINARY" ]]; then
  GRAVITY=$STATS_BINARY
  counted=yes
fi

open_program

has_bodies() {
  capture "$id" "$WORK/shot.png" || return 1
  LAST=$(coloured_pixels "$WORK/shot.png")
  [[ -n "$LAST" ]] && ((LAST > 0))
}
has_no_bodies() {
  capture "$id" "$WORK/shot.png" || return 1
  LAST=$(coloured_pixels "$WORK/shot.png")
  [[ "$LAST" == 0 ]]
}
is_mapped() { [[ "$(map_state "$id")" == IsViewable ]]; }
is_unmapped() { [[ "$(map_state "$id")" == IsUnMapped ]]; }

# Zoomed out as far as it goes, the whole world fits the window, so while the simulation runs
# every body is in view: colour on the window means the program is showing its picture.
xdotool mousemove --window "$id" 313 274 key --delay 2 --repeat 149 KP_Subtract click 1 ||
  fail "xdotool could not zoom out and click"
poll 20 has_bodies || fail "no bodies shown after a click"

# Hidden: the timers keep firing and nothing is presented.
lines=$(count_lines)
xdotool windowunmap "$id" || fail "xdotool could not unmap the window"
poll 20 is_unmapped || fail "the window is still $(map_state "$id") after unmapping it"
if [[ "$counted" == yes ]]; then
  wait_for_counts "$lines" 20 'p == 0 && t > 0' ||
    fail "no second with ticks and without presents while hidden: $(tail -n +"$((lines + 1))" "$WORK/stdout" | head -5)"
else
  sleep 1
fi
alive || fail "the program ended while its window was hidden"

# Shown again: the picture comes back, from the program, not from the X server (which kept
# nothing of an unmapped window), and keeps changing.
lines=$(count_lines)
xdotool windowmap "$id" || fail "xdotool could not map the window"
poll 20 is_mapped || fail "the window is still $(map_state "$id") after mapping it"
poll 20 has_bodies || fail "no bodies shown after the window came back: ${LAST:-unreadable} coloured pixels"
wait_for_change "$id" 20 || fail "the picture stopped changing after the window came back"
if [[ "$counted" == yes ]]; then
  wait_for_counts "$lines" 20 'p > 0 && t > 0' || fail "presents did not resume after the window came back"
fi

# Minimising too, where it has an effect.
minimised=no
xdotool windowminimize "$id" 2>/dev/null
if poll 3 is_unmapped; then
  minimised=yes
  xdotool windowmap "$id" || fail "xdotool could not map the minimised window"
  poll 20 is_mapped || fail "the window is still $(map_state "$id") after restoring it"
  poll 20 has_bodies || fail "no bodies shown after restoring the minimised window"
fi

# Keys still arrive: Enter switches to playback, which clears the picture and shows only white
# marks, and Enter again brings the coloured bodies back. Unmapping took the keyboard focus away
# and, with no window manager to hand it back, the test does.
xdotool windowfocus --sync "$id" || fail "xdotool could not focus the window"
xdotool mousemove --window "$id" 313 274 key Return || fail "xdotool could not press Enter"
poll 20 has_no_bodies || fail "bodies still shown after Enter: ${LAST:-unreadable} coloured pixels"
xdotool key Return || fail "xdotool could not press Enter"
poll 20 has_bodies || fail "no bodies shown after Enter again"

xdotool key Escape || fail "xdotool could not press Escape"
wait_for_exit 20
[[ "$EXIT_STATUS" == 0 ]] || fail "exit status after Escape was $EXIT_STATUS, expected 0"
echo "ok: hidden and shown again (counts checked: $counted; minimise had an effect: $minimised)," \
  "picture back, keys answered, Escape exited 0"
