# On a screen of 192 DPI (Wine's LogPixels), scale 2: the window's client area is 1252 x 1098
# device pixels and the surface stays 626 x 549 units, each shown crisp as 2 x 2 pixels. The
# overlay's rings cover four times the pixels they cover at 96 DPI, the world outline at zoom 40
# spans twice the pixels, and a click seeds where the pointer is.
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

set_dpi 192
start_gravity
id=$(find_window) || exit 1
xdotool windowfocus --sync "$id" || fail "xdotool could not focus the window"
size=$(window_size "$id")
[[ "$size" == "1252 x 1098" ]] || fail "at 192 DPI the client area is $size, not 1252 x 1098"
rings_2=$(ring_pixels) || fail "could not read the rings at 192 DPI"
echo "measured: ring pixels $rings_1 at 96 DPI, $rings_2 at 192 DPI"
((rings_1 > 0 && rings_2 == 4 * rings_1)) || fail "the rings cover $rings_2 pixels at 192 DPI, not 4 x $rings_1"

# Zoom 40: the outline spans surface units 63..563 across, device pixels 126..1127.
press --repeat 39 KP_Subtract
poll 20 outline_spans "$id" "126 1127 *" ||
  fail "at 192 DPI the outline spans '${OUTLINE:-nothing}', not 126 to 1127 across"
echo "measured: the world outline spans $OUTLINE device pixels"

# Half the universes are seeded around the pointer, the others around the world origin (the
# surface centre, at 626, 549): the first that centres near the pointer shows where it landed. At
# zoom 40 the bodies take seconds to move far, and seeding clears the surface of the old ones.
xdotool mousemove --window "$id" 300 800 || fail "xdotool could not move the pointer"
for attempt in 1 2 3 4 5 6 7 8; do
  xdotool click 1 || fail "xdotool could not click"
  sleep 0.3
  poll 10 shows_bodies "$id" || fail "no coloured pixel within 10 s of the click"
  read -r cx cy < <(convert "$WORK/snap.png" -colorspace HSL -channel G -separate +channel \
    -threshold 0 -depth 8 txt:- 2>/dev/null |
    awk -F'[:,() ]+' 'NR > 1 && $3 > 0 { x += $1; y += $2; n++ } END { if (n) print int(x / n), int(y / n) }')
  echo "attempt $attempt: coloured pixels centre on (${cx:-?}, ${cy:-?})"
  ((${cx:-0} > 200 && ${cx:-0} < 400 && ${cy:-0} > 700 && ${cy:-0} < 900)) && break
  ((attempt < 8)) || fail "in 8 universes none centred on the pointer at (300, 800)"
done

escape_ends_within_a_second
echo "ok: 1252 x 1098 at 192 DPI, rings 4 x the pixels, the outline at twice the span, the click under the pointer"
