# A player's journey through the Windows program under Wine: the window "Form1" opens with a
# 626 x 549 client area, black, and the icon of packaging/icons/ pixel for pixel; a click brings coloured discs around the pointer; Enter plays the
# history back in white marks only, Enter again returns to colour; keypad minus shrinks the world
# outline until the whole world shows, the surface follows the window to a new size, and keypad 8
# with NumLock off pans like the Up arrow; T leaves
# trails; Escape ends the process with status 0.
source "$(dirname "$0")/lib.sh" "$@"

# Under a window manager, which is what gives the window its new size below.
WINDOW_MANAGER=1 open_windows_program
size=$(window_size "$id")
[[ "$size" == "626 x 549" ]] || fail "the client area is $size, not 626 x 549"
shows_nothing() { snap "$id" && count_pixels && ((LIT == 0)); }
poll 20 shows_nothing || fail "window not black before any input: ${LIT:-unreadable} lit pixels"

# Wine hands the window's icon to X as 0xAARRGGBB words after the width and height: the 32 x 32
# one must be packaging/icons/32.png, taken through the program's resources.
xprop -id "$id" -notype -f _NET_WM_ICON 32c _NET_WM_ICON | sed 's/.*= //' | tr -d ' ' | tr ',' '\n' |
  awk 'NR <= 2 { side = side $1 " " } NR == 2 && side != "32 32 " { exit 1 } NR > 2 && NR <= 1026' >"$WORK/icon_window.txt" ||
  fail "the window's first icon is not 32 x 32"
convert "$(dirname "$0")/../../packaging/icons/32.png" -depth 8 rgba:- | od -An -tu1 -v | tr -s ' ' '\n' |
  awk 'NF { v[++n % 4] = $1 } NF && n % 4 == 0 { printf "%.0f\n", v[0] * 16777216 + v[1] * 65536 + v[2] * 256 + v[3] }' \
  >"$WORK/icon_png.txt"
differ=$(paste "$WORK/icon_window.txt" "$WORK/icon_png.txt" | awk '$1 != $2 { d++ } END { print d + 0 }')
(($(wc -l <"$WORK/icon_window.txt") == 1024 && differ == 0)) ||
  fail "the window's icon differs from packaging/icons/32.png in $differ of 1024 pixels"

# The click in the middle: whichever placement the seeding draws, around the pointer or over a
# surface-sized area around the world origin (which is there at the start), the discs lie around
# it: it falls between the 10th and the 90th percentile of their pixels across and down. Their
# middle alone can be far from it: 81 bodies spread that wide, a few large discs weigh most, and
# some are thrown outwards at once.
xdotool mousedown 1 || fail "xdotool could not press the button"
time_until_colour "$id" 10 xdotool mouseup 1 || fail "no coloured pixel within 10 s of the click"
# That first picture may be caught while Wine is still copying it to the screen, with only a band
# of the discs in it, so their place is read from the next one.
sleep 0.2
snap "$id" || fail "could not read the window"
convert "$WORK/snap.png" -colorspace HSL -channel G -separate +channel -threshold 0 \
  -depth 8 txt:- 2>/dev/null | awk -F'[:,() ]+' 'NR > 1 && $3 > 0 { print $1, $2 }' >"$WORK/places"
n=$(wc -l <"$WORK/places")
((n > 0)) || fail "could not find the coloured pixels"
read -r x1 y1 <<<"$(median_place "$WORK/places" 10)"
read -r x9 y9 <<<"$(median_place "$WORK/places" 90)"
((x1 < 313 && 313 < x9 && y1 < 274 && 274 < y9)) ||
  fail "the $n coloured pixels lie in ($x1..$x9, $y1..$y9) from their 10th to 90th percentile," \
    "not around the click at (313, 274); pointer at $(xdotool getmouselocation)," \
    "window at $(xwininfo -id "$id" | awk '/Absolute upper-left/ { printf "%s ", $4 }')"
echo "measured: coloured discs within $COLOUR_BY_MS ms of the release: $n pixels, 80 % in ($x1..$x9, $y1..$y9)"

press Return
poll 10 shows_marks_only "$id" || fail "Enter: $COLOURED coloured and $WHITE white pixels, not white marks only"
echo "measured: playback: $WHITE white of $LIT lit pixels, none coloured"
press Return
poll 10 shows_bodies "$id" || fail "Enter again brought no colour back"

# Keypad minus 39 times: Zoom 40, where the world square spans 63..563 across the surface.
press --repeat 39 KP_Subtract
poll 20 outline_spans "$id" "63 563 *" ||
  fail "after 39 x keypad minus the outline spans '${OUTLINE:-nothing}', not 63 to 563 across"
echo "measured: the world outline spans $OUTLINE (left right top bottom)"

# A larger window: the surface follows it, so the outline, centred on it, moves to 200..700 across.
xdotool windowsize "$id" 900 700 || fail "xdotool could not resize the window"
poll 10 eval '[[ "$(window_size "$id")" == "900 x 700" ]]' || fail "the window is $(window_size "$id") after resizing to 900 x 700"
# A key redraws the outline where the program has its middle; the window manager hands Wine the
# new size a moment after the X window has it, so the key is pressed until the outline has moved.
moved_outline() { press a && outline_spans "$id" "200 700 *"; }
poll 10 moved_outline ||
  fail "in the 900 x 700 window the outline spans '${OUTLINE:-nothing}', not 200 to 700 across"
echo "measured: resized to 900 x 700, the outline spans $OUTLINE"

# With NumLock off, keypad 8 is the Up arrow: the picture moves 30 surface units down.
press KP_Up  # the key keypad 8 is with NumLock off
poll 10 outline_spans "$id" "200 700 130 630" ||
  fail "keypad 8 with NumLock off left the outline at '${OUTLINE:-nothing}', not 30 units lower"

# Trails: with erasing off nothing wipes the paint, so the coloured area only grows; a new universe
# (a click) starts with discs again if this one has come to rest.
press t
for attempt in 1 2 3; do
  poll 10 shows_bodies "$id" || fail "no coloured pixel with trails on"
  early=$COLOURED
  sleep 2
  { snap "$id" && count_pixels; } || fail "could not read the window"
  echo "measured: trails, universe $attempt: $early coloured pixels, two seconds later $COLOURED"
  ((COLOURED >= 2 * early)) && break
  ((attempt < 3)) || fail "trails did not build up: $early then $COLOURED coloured pixels"
  xdotool click 1 || fail "xdotool could not click"
done

escape_ends_within_a_second
echo "ok: Form1 626 x 549, black, discs at the click, playback in white, the outline at zoom 40, trails, Escape"
