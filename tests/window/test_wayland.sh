# The program on Wayland without X: under a headless sway it opens its 626 x 549 window through
# SDL's Wayland driver, black until a key. Keypad minus until the whole world shows draws the world
# outline; Enter shows the recording's white marks only and Enter again ends them; T then Left pans
# the outline 30 pixels right; Escape ends the program with status 0. Then on a screen of scale 2
# the same surface fills 1252 x 1098 pixels, every unit a 2 x 2 block of them. (Headless sway has
# no pointer, so no universe can be seeded here: clicks are left to the X tests.)
WINDOW_SYSTEM=wayland
source "$(dirname "$0")/lib.sh" "$@"

zoom_out=()
for ((n = 0; n < 39; n++)); do zoom_out+=(KP_Subtract); done

start_sway 1
open_program_on_wayland
[[ "$WINDOW_SIZE" == "626 x 549" ]] || fail "the window is $WINDOW_SIZE, expected 626 x 549"
shows_nothing() { snap && count_pixels && ((LIT == 0)); }
poll 20 shows_nothing || fail "the window is not black before any key: ${LIT:-unreadable} lit pixels"

wayland_keys "${zoom_out[@]}"
poll 20 outline_spans "" "63 563 *" ||
  fail "after 39 x keypad minus the outline spans '${OUTLINE:-nothing}', expected 63 to 563 across"
wayland_keys Return
poll 10 shows_marks_only "" || fail "Enter showed $COLOURED coloured and $WHITE white pixels, expected white marks only"
marks_gone() { snap && count_pixels && ((WHITE == 0 && COLOURED == 0)); }
wayland_keys Return
poll 10 marks_gone || fail "Enter again left $WHITE white pixels"
wayland_keys t Left
poll 10 outline_spans "" "93 593 *" ||
  fail "after T and Left the outline spans '${OUTLINE:-nothing}', expected 93 to 593 across"
wayland_keys Escape
wait_for_exit 10
[[ "$EXIT_STATUS" == 0 ]] || fail "exit status after Escape was $EXIT_STATUS, expected 0"
[[ ! -s "$WORK/stderr" ]] || fail "the program printed: $(head -3 "$WORK/stderr")"
stop_sway
echo "ok: on Wayland the window opened at 626 x 549, zoomed out, played back, panned and ended with 0"

# Scale 2: sway's window coordinates are 2 pixels each, and grim's picture is in pixels.
start_sway 2
open_program_on_wayland
[[ "$WINDOW_SIZE" == "626 x 549" ]] || fail "at scale 2 the window is $WINDOW_SIZE in sway's units, expected 626 x 549"
wayland_keys "${zoom_out[@]}"
# Unit 63 starts at pixel 126 and unit 563 ends at pixel 1127.
poll 20 outline_spans "" "126 1127 *" ||
  fail "at scale 2 the outline spans '${OUTLINE:-nothing}' pixels, expected 126 to 1127 across"
size=$(convert "$WORK/snap.png" -format '%w x %h' info:)
[[ "$size" == "1252 x 1098" ]] || fail "at scale 2 the picture is $size pixels, expected 1252 x 1098"
# Every 2 x 2 block is one colour: halving and doubling by sampling gives the picture back.
convert "$WORK/snap.png" -sample 50% -sample 200% "$WORK/blocks.png"
pictures_differ "$WORK/snap.png" "$WORK/blocks.png" && fail "at scale 2 a unit is not a 2 x 2 block of one colour"
wayland_keys Escape
wait_for_exit 10
[[ "$EXIT_STATUS" == 0 ]] || fail "exit status after Escape at scale 2 was $EXIT_STATUS, expected 0"
echo "ok: at scale 2 the window is 1252 x 1098 pixels, the outline at 126..1127, each unit 2 x 2"
