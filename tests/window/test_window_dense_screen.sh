# On an X desktop that announces 192 DPI (scale 2) the window opens at 1252 x 1098 pixels and
# shows the 626 x 549 surface with every unit a crisp 2 x 2 block; at 144 DPI (scale 1.5) it opens
# at 939 x 824 pixels, units 1 or 2 pixels across. At both the whole world's outline lies where the
# units it spans at scale 1 lie, a click seeds around the pointer, and Escape ends with status 0.
# The Windows program's test under Wine expects the same sizes and outline.
source "$(dirname "$0")/lib.sh" "$@"

# Xvfb's RandR output has no physical size, from which SDL would read the density; without RandR
# it reads the screen's density and Xft.dpi, as on any desktop that announces one.
export SDL_VIDEO_X11_XRANDR=0

# Every 2 x 2 block is one colour: halving and doubling by sampling gives the picture back.
crisp() {
  convert "$1" -sample 50% -sample 200% "$WORK/blocks.png" && ! pictures_differ "$1" "$WORK/blocks.png"
}

shows_nothing() { snap "$id" && count_pixels && ((LIT == 0)); }

# dpi, client area, the outline at zoom 40 (units 63..563 across and 24..524 down) in pixels, and
# where the pointer clicks.
for screen in "192 1252x1098 126,1127,48,1049 900,700" "144 939x824 95,845,36,787 700,500"; do
  read -r dpi client outline at <<<"$screen"
  outline=${outline//,/ }
  px=${at%,*} py=${at#*,}
  XVFB_DPI=$dpi XVFB_SCREEN=2560x2048x24 open_program focus

  size=$(window_size "$id")
  [[ "$size" == "${client/x/ x }" ]] || fail "at $dpi DPI the client area is $size pixels, expected $client"
  poll 20 shows_nothing || fail "the window is not black before any input: ${LIT:-unreadable} lit pixels"

  xdotool key --delay 15 --repeat 39 KP_Subtract || fail "xdotool could not press keypad minus"
  poll 20 outline_spans "$id" "$outline" ||
    fail "at $dpi DPI the outline spans '${OUTLINE:-nothing}' pixels, expected $outline"
  echo "measured: at $dpi DPI the client area is $size and the outline spans $OUTLINE"

  # At zoom 40 a ring of bodies around the click spans at most 2 x 12.5 units, so its coloured
  # pixels lie near the pointer; a universe spread over the world (the other placement, chosen at
  # random) puts hardly any there, and then the player clicks again. Each click is made in
  # playback, which shows no colour, so the first picture with colour is the new universe's.
  for attempt in 1 2 3 4 5 6 7 8 9 10; do
    xdotool key Return || fail "xdotool could not press Enter"
    poll 10 shows_marks_only "$id" || fail "Enter did not show the playback marks only"
    time_until_colour "$id" 10 xdotool mousemove --window "$id" "$px" "$py" click 1 ||
      fail "no coloured pixel within 10 s of the click"
    count_near "$WORK/snap.png" "$px" "$py" 60 ||
      fail "the coloured pixels could not be counted: '$COLOURED_ALL', '$NEAR'"
    if ((dpi == 192)); then
      crisp "$WORK/snap.png" || fail "a unit is not shown as a 2 x 2 block of one colour"
      # So each disc covers four times the pixels it covers at scale 1, where a pixel is a unit.
      convert "$WORK/snap.png" -sample 50% "$WORK/units.png"
      units=$(coloured_pixels "$WORK/units.png")
      ((COLOURED_ALL == 4 * units && units > 0)) ||
        fail "the discs cover $COLOURED_ALL pixels for $units units"
    fi
    echo "attempt $attempt: $NEAR of $COLOURED_ALL coloured pixels within 60 pixels of the pointer"
    ((2 * NEAR > COLOURED_ALL)) && break
    ((attempt < 10)) || fail "ten clicks in a row spread the bodies over the world"
  done

  xdotool key Escape || fail "xdotool could not press Escape"
  wait_for_exit 10
  [[ "$EXIT_STATUS" == 0 ]] || fail "exit status after Escape was $EXIT_STATUS, expected 0: $(tr "\n" " " <"$WORK/stderr")"
  kill "$XVFB_PID" && wait "$XVFB_PID" 2>/dev/null
  XVFB_PID=
  rm -f "$WORK/display"  # so the next display is waited for afresh
done
echo "ok: at 192 and 144 DPI the window keeps its size on the screen, the units their places, a click seeds under the pointer"
