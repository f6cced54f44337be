# On a screen of 192 DPI (Wine's LogPixels), scale 2: the window's client area is 1252 x 1098
# device pixels and the surface stays 626 x 549 units, each shown crisp as 2 x 2 pixels, and the
# overlay's rings cover four times the pixels they cover at 96 DPI. At 144 DPI, scale 1.5, the
# client area is 939 x 824 pixels for the same surface. At both the world outline at zoom 40 lies
# on the pixels that show its units, as on the desktop, and a click seeds where the pointer is.
source "$(dirname "$0")/lib.sh" "$@"

dpi_key='HKCU\Control Panel\Desktop'
# Wine's desktop process reads the DPI once, so the server and all its processes start afresh.
set_dpi() {
  wine reg add "$dpi_key" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1 || fail "could not set the DPI to $1"
  wineserver -k
  wineserver -w
}
# The prefix is shared: it goes back to 96 DPI whatever happens.
eval "unscaled_$(declare -f cleanup)"
cleanup() {
  wine reg delete "$dpi_key" /v LogPixels /f >/dev/null 2>&1
  unscaled_cleanup
}

# Pixels of the overlay's rings, RGB(30, 30, 30), once a key has drawn the overlay.
ring_pixels() {
  press a
  sleep 0.5
  snap "$id" && convert "$WORK/snap.png" -fill black +opaque 'rgb(30,30,30)' -fill white -opaque 'rgb(30,30,30)' \
    -format '%[fx:round(mean*w*h)]' info: 2>/dev/null
}

# A screen large enough for the scaled window.
export XVFB_SCREEN=2560x1600x24
set_dpi 96
open_windows_program
rings_1=$(ring_pixels) || fail "could not read the rings at 96 DPI"
escape_ends_within_a_second

# dpi, client area, the outline at zoom 40 (units 63..563 across and 24..524 down) in device pixels,
# and where the pointer clicks: the same as the desktop program's on an X screen of that density.
for screen in "192 1252x1098 126,1127,48,1049 300,800" "144 939x824 95,845,36,787 250,600"; do
  read -r dpi client outline at <<<"$screen"
  outline=${outline//,/ }
  px=${at%,*} py=${at#*,}
  set_dpi "$dpi"
  start_gravity
  id=$(find_window) || exit 1
  xdotool windowfocus --sync "$id" || fail "xdotool could not focus the window"
  size=$(window_size "$id")
  [[ "$size" == "${client/x/ x }" ]] || fail "at $dpi DPI the client area is $size, not $client"
  if ((dpi == 192)); then
    rings_2=$(ring_pixels) || fail "could not read the rings at 192 DPI"
    echo "measured: ring pixels $rings_1 at 96 DPI, $rings_2 at 192 DPI"
    ((rings_1 > 0 && rings_2 == 4 * rings_1)) || fail "the rings cover $rings_2 pixels at 192 DPI, not 4 x $rings_1"
  fi

  press --repeat 39 KP_Subtract
  poll 20 outline_spans "$id" "$outline" ||
    fail "at $dpi DPI the outline spans '${OUTLINE:-nothing}', not $outline"
  echo "measured: at $dpi DPI the client area is $size, the world outline spans $OUTLINE device pixels"

  # Half the universes are seeded around the pointer, the others around the world origin (the
  # surface centre): the first that centres near the pointer shows where it landed (sixteen
  # universes all seeded round the origin happen once in 65536 runs). At zoom 40 the bodies take
  # seconds to move far, and seeding clears the surface of the old ones.
  xdotool mousemove --window "$id" "$px" "$py" || fail "xdotool could not move the pointer"
  for attempt in $(seq 16); do
    xdotool click 1 || fail "xdotool could not click"
    sleep 0.3
    poll 10 shows_bodies "$id" || fail "no coloured pixel within 10 s of the click"
    read -r cx cy < <(convert "$WORK/snap.png" -colorspace HSL -channel G -separate +channel \
      -threshold 0 -depth 8 txt:- 2>/dev/null |
      awk -F'[:,() ]+' 'NR > 1 && $3 > 0 { x += $1; y += $2; n++ } END { if (n) print int(x / n), int(y / n) }')
    echo "attempt $attempt: coloured pixels centre on (${cx:-?}, ${cy:-?})"
    ((${cx:-0} > px - 100 && ${cx:-0} < px + 100 && ${cy:-0} > py - 100 && ${cy:-0} < py + 100)) && break
    ((attempt < 16)) || fail "in 16 universes none centred on the pointer at ($px, $py)"
  done
  escape_ends_within_a_second
done
echo "ok: 1252 x 1098 at 192 DPI with rings 4 x the pixels, 939 x 824 at 144 DPI, the outline where the desktop's is, the click under the pointer"
