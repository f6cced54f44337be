# The program opens and draws a universe on a 30-bit (deep colour) and on a 16-bit X screen, whose
# windows have pixel formats unlike the program's own. On the 16-bit screen every colour is exact:
# black is black, and each colour drawn is the surface's colour as the screen's 5-6-5 pixel holds
# it, no colour ramp in between.
source "$(dirname "$0")/lib.sh" "$@"

# The colours of the last screenshot with their counts, "count r g b" in 16-bit channels, most
# common first.
colours() {
  convert "$WORK/snap.png" -depth 16 -format %c histogram:info:- 2>/dev/null |
    sed -E 's/^ *([0-9]+): \(([0-9]+),([0-9]+),([0-9]+)\).*/\1 \2 \3 \4/' | sort -rn
}

# The 16-bit channel a screenshot gives a surface colour's 8-bit channel `c` held in `bits` bits.
held() { echo $((($1 >> (8 - $2)) * 65535 / ((1 << $2) - 1))); }

for depth in 30 16; do
  XVFB_SCREEN=1280x1024x$depth open_program focus
  xdotool click 1 || fail "xdotool could not click"
  poll 20 shows_bodies "$id" || fail "no bodies drawn on a $depth-bit screen"
  if ((depth == 16)); then
    # The whole world in view: the outline, RGB(50, 50, 50), and the rings, RGB(30, 30, 30), with
    # the bodies inside.
    outline="$(held 50 5) $(held 50 6) $(held 50 5)"
    rings="$(held 30 5) $(held 30 6) $(held 30 5)"
    xdotool key --delay 15 --repeat 39 KP_Subtract || fail "xdotool could not press keypad minus"
    shows_outline() { snap "$id" && colours >"$WORK/colours" && grep -q " $outline\$" "$WORK/colours"; }
    poll 20 shows_outline || fail "no outline pixel of ($outline): $(head -5 "$WORK/colours" | tr '\n' ';')"
    read -r _ r g b <"$WORK/colours"
    [[ "$r $g $b" == "0 0 0" ]] || fail "black shows as ($r, $g, $b) of 65535"
    grep -q " $rings\$" "$WORK/colours" || fail "no ring pixel of ($rings): $(head -5 "$WORK/colours" | tr '\n' ';')"
    # Every other colour is a body's, 5-6-5 bits widened the same way.
    while read -r count r g b; do
      for channel in "$r 5" "$g 6" "$b 5"; do
        read -r value bits <<<"$channel"
        max=$(((1 << bits) - 1))
        (((value * max + 65534) / 65535 * 65535 / max == value)) ||
          fail "$count pixels of ($r, $g, $b) are no 5-6-5 colour"
      done
    done <"$WORK/colours"
    echo "measured: $(wc -l <"$WORK/colours") colours on the 16-bit screen, all 5-6-5, black (0, 0, 0)"
  fi
  xdotool key Escape || fail "xdotool could not press Escape"
  wait_for_exit 10
  ((EXIT_STATUS == 0)) || fail "exit status $EXIT_STATUS on a $depth-bit screen"
  kill "$XVFB_PID" && wait "$XVFB_PID" 2>/dev/null
  XVFB_PID=
  rm -f "$WORK/display"  # so the next display is waited for afresh
done
echo "ok: drawn on 30-bit and 16-bit screens, the 16-bit one in exact colours"
