# Enter plays the recorded history back: the surface is cleared and only white marks are drawn,
# not one coloured pixel (everything lit is grey or white); Enter again returns to the live
# bodies in colour.
source "$(dirname "$0")/lib.sh" "$@"

open_program focus
# With the whole world in view no body can leave the surface, so the resumed simulation must show.
zoom_out_to_whole_world "$id"
xdotool click 1 || fail "xdotool could not click"
poll 10 shows_bodies "$id" || fail "no coloured pixel within 10 s of the click"
echo "measured: simulation: $COLOURED coloured pixels"
sleep 1 # a second of history: about 50 records

xdotool key Return || fail "xdotool could not press Enter"
poll 10 shows_marks_only "$id" ||
  fail "no playback within 10 s of Enter: $COLOURED coloured and $WHITE white pixels"
echo "measured: playback: $WHITE white of $LIT lit pixels"
# Frames keep coming for as long as playback runs, and none of them may bring colour back.
for look in 1 2 3 4; do
  sleep 0.5
  { snap "$id" && count_pixels; } || fail "could not read the window"
  ((COLOURED == 0 && WHITE > 0)) ||
    fail "playback, look $look: $COLOURED coloured and $WHITE white pixels; only white marks expected"
done
echo "measured: playback two seconds later: $WHITE white of $LIT lit pixels"

xdotool key Return || fail "xdotool could not press Enter"
poll 10 shows_bodies "$id" || fail "no coloured pixel within 10 s of Enter back to simulation"
echo "measured: simulation again: $COLOURED coloured pixels"
alive || fail "the program ended"
echo "ok: Enter showed only white marks, Enter again the bodies in colour"
