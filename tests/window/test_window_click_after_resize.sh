# A click and a resize that reach the program together: the click seeds under the pointer, mapped
# with the window's size at one moment, and the universe's ring shows up where the click was.
source "$(dirname "$0")/lib.sh" "$@"

# A screen the grown window fits on, so the pointer can reach the click's place.
XVFB_SCREEN=1920x1200x24 open_program focus
xdotool windowmove --sync "$id" 0 0 || fail "xdotool could not move the window"
# Zoom 20: a ring seeded around the pointer is 50 pixels across, and the world, 1000 pixels across,
# holds the place of the click.
xdotool key --delay 15 --repeat 19 KP_Subtract || fail "xdotool could not press keypad minus"

has_size() { [[ "$(window_size "$id")" == "$1 x $2" ]]; }
shows_no_colour() { snap "$id" && count_pixels && ((COLOURED == 0)); }

# Half the universes are spread over the whole surface instead of ringed around the pointer, so
# the click is tried until one is gathered round it: a third or more of the colour within 150
# pixels of the click, where a spread universe puts a tenth. Not more, because the picture stays
# anchored at the top-left corner: the ring's first discs stay where it was seeded, while the
# ticks after the resize draw it again where the grown surface's centre puts the world, 250 pixels
# to the right. The first screenshot with colour after the click is the one read: however late a
# busy machine takes it, the bodies have had a moment to fly, not seconds.
for attempt in $(seq 10); do
  xdotool windowsize "$id" 1300 1000 || fail "xdotool could not resize the window"
  poll 10 has_size 1300 1000 || fail "the window did not take the size 1300 x 1000"
  sleep 0.3
  # The last universe out of sight: playback shows no colour.
  if ((attempt > 1)); then
    xdotool key Return || fail "xdotool could not press Enter"
    poll 10 shows_no_colour || fail "playback still shows $COLOURED coloured pixels"
  fi
  # One command, so the click and the resize reach the program together.
  time_until_colour "$id" 10 xdotool mousemove --window "$id" 1100 800 click 1 \
    windowsize "$id" 1800 1100 || fail "no colour within 10 s of the click"
  count_near "$WORK/snap.png" 1100 800 150 ||
    fail "the coloured pixels could not be counted: '$COLOURED_ALL', '$NEAR'"
  echo "attempt $attempt: $NEAR of $COLOURED_ALL coloured pixels within 150 pixels of the click"
  ((3 * NEAR >= COLOURED_ALL)) && break
  ((attempt == 10)) && fail "in 10 tries no universe gathered round the click at (1100, 800)"
done
alive || fail "the program ended"
echo "ok: a click together with a resize seeded around (1100, 800)"
