# T switches trails on: the bodies paint their paths, so the coloured area grows from one
# screenshot to the next; any other key wipes the paint but leaves trails on. T again clears the
# surface and erasing is back: only the discs remain, far fewer coloured pixels than the trails.
source "$(dirname "$0")/lib.sh" "$@"

# With erasing on, what is coloured is the discs alone: 81 of radius at most 6.1, each inside a
# 14 x 14 square of pixels.
MostDiscPixels=$((81 * 14 * 14))
# Trails worth the name cover four times as much.
TrailPixels=$((4 * MostDiscPixels))

open_program focus
xdotool click 1 || fail "xdotool could not click"
poll 10 shows_bodies "$id" || fail "no coloured pixel within 10 s of the click"
echo "measured: $COLOURED coloured pixels with erasing on"

xdotool key t || fail "xdotool could not press T"
# A universe at rest hardly moves in two seconds, and a fast one may leave the surface at once:
# then the player clicks for another one (seeding leaves trails on).
for attempt in 1 2 3 4 5; do
  poll 10 shows_bodies "$id" || fail "no coloured pixel within 10 s with trails on"
  early=$COLOURED
  sleep 2
  { snap "$id" && count_pixels; } || fail "could not read the window"
  trails=$COLOURED
  echo "measured: trails on, universe $attempt: $early coloured pixels, two seconds later $trails"
  ((trails >= 2 * early && trails >= TrailPixels)) && break
  ((attempt < 5)) ||
    fail "trails did not build up in 5 universes: last $early then $trails coloured pixels (wanted twice as many and $TrailPixels)"
  xdotool click 1 || fail "xdotool could not click"
  sleep 0.5
done

# With trails on nothing erases, so the coloured area can only shrink by a clear.
xdotool key a || fail "xdotool could not press A"
wiped() { snap "$id" && count_pixels && ((COLOURED < trails)); }
poll 10 wiped || fail "the unbound key A did not wipe the trails: $COLOURED coloured pixels, $trails before"
echo "measured: A wiped the trails: $COLOURED coloured pixels"

xdotool key t || fail "xdotool could not press T"
discs_only() { snap "$id" && count_pixels && ((COLOURED <= MostDiscPixels)); }
poll 10 discs_only ||
  fail "T again left $COLOURED coloured pixels, more than 81 discs can cover ($MostDiscPixels)"
echo "measured: T again: $COLOURED coloured pixels"
sleep 2
discs_only || fail "two seconds after T again $COLOURED coloured pixels: trails are still on"
echo "measured: two seconds later: $COLOURED coloured pixels"

alive || fail "the program ended"
echo "ok: trails built up to $trails coloured pixels; with erasing back on at most $MostDiscPixels"
