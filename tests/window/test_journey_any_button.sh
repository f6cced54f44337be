# Every mouse button seeds: from playback (white marks only, no colour) a right click, and later a
# middle click, each bring a new universe in colour. Prints how soon the colour showed.
source "$(dirname "$0")/lib.sh" "$@"

open_program focus
# With the whole world in view no body can leave the surface before a screenshot finds it.
zoom_out_to_whole_world "$id"

for button in 3 2; do
  name=$([[ $button == 3 ]] && echo right || echo middle)
  xdotool key Return || fail "xdotool could not press Enter"
  poll 10 shows_marks_only "$id" ||
    fail "no playback within 10 s of Enter: $COLOURED coloured and $WHITE white pixels"
  # Bodies are seeded when the button comes up, so the time runs from the release.
  xdotool mousedown "$button" || fail "xdotool could not press the $name button"
  time_until_colour "$id" 10 xdotool mouseup "$button" ||
    fail "no coloured pixel within 10 s of releasing the $name button"
  count_pixels || fail "could not read the window"
  echo "measured: $name button: first coloured pixels within $COLOUR_BY_MS ms of the release" \
    "(the last screenshot without was done at $NONE_AT_MS ms): $COLOURED coloured pixels"
done

alive || fail "the program ended"
echo "ok: the right and the middle button each seeded a universe from playback"
