# A burst of 1000 key presses and 200 mouse clicks within a few seconds: every bound key (but
# Escape), letters and other unbound keys, all three buttons over the window and around it. The
# program survives, prints nothing, and still ends with status 0 on Escape.
source "$(dirname "$0")/lib.sh" "$@"

open_program

geometry=$(xwininfo -id "$id")
left=$(awk '/Absolute upper-left X:/ {print $4}' <<<"$geometry")
top=$(awk '/Absolute upper-left Y:/ {print $4}' <<<"$geometry")
width=$(awk '/^ *Width:/ {print $2}' <<<"$geometry")
height=$(awk '/^ *Height:/ {print $2}' <<<"$geometry")
[[ -n "$left" && -n "$top" && -n "$width" && -n "$height" ]] || fail "no geometry for the window"

# The same burst every run.
RANDOM=20260
bound=(Return KP_Enter t T Left Up Right Down Prior Next space KP_Add KP_Subtract)
others=(a b c d e f g h i j k l m n o p q r s u v w x y z A Z 0 5 9 KP_5 Tab BackSpace Home End
  Insert Delete F1 F5 F12)

# Keys go to the window with the pointer on it (Xvfb has no window manager to move the focus).
press_keys() {
  local keys=() n
  for ((n = 0; n < 100; n++)); do
    if ((RANDOM % 10 < 6)); then
      keys+=("${bound[RANDOM % ${#bound[@]}]}")
    else
      keys+=("${others[RANDOM % ${#others[@]}]}")
    fi
  done
  xdotool mousemove --window "$id" $((RANDOM % width)) $((RANDOM % height)) \
    key --delay 0 "${keys[@]}" || fail "xdotool could not press keys"
}

# Buttons 1, 2 and 3 in turn; about one click in four lands up to 150 pixels outside the window.
click_around() {
  local commands=() n x y
  for ((n = 0; n < 20; n++)); do
    if ((RANDOM % 4 == 0)); then
      x=$((left - 150 + RANDOM % (width + 300)))
      y=$((top - 150 + RANDOM % (height + 300)))
    else
      x=$((left + RANDOM % width))
      y=$((top + RANDOM % height))
    fi
    commands+=(mousemove "$x" "$y" click --delay 1 $((n % 3 + 1)))
  done
  xdotool "${commands[@]}" || fail "xdotool could not click"
}

started=$SECONDS
for round in 1 2 3 4 5 6 7 8 9 10; do
  press_keys
  click_around
  alive || fail "the program ended during round $round of the burst"
done
took=$((SECONDS - started))

sleep 1
alive || fail "the program ended after the burst"
xdotool mousemove --window "$id" 313 274 key Escape || fail "xdotool could not press Escape"
wait_for_exit 60
[[ "$EXIT_STATUS" == 0 ]] || fail "exit status after Escape was $EXIT_STATUS, expected 0"
[[ ! -s "$WORK/stdout" && ! -s "$WORK/stderr" ]] ||
  fail "the program printed: $(head -3 "$WORK/stdout" "$WORK/stderr")"
echo "ok: 1000 keys and 200 clicks in about $took s, then Escape exited 0"
