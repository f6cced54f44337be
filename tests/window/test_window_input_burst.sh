# A burst of 1000 key presses and 200 mouse clicks within a few seconds: keys of every kind but
# Escape (which of them run commands is the key table's business, tested with it), all three
# buttons over the window and around it. The program survives, prints nothing, and still ends with
# status 0 on Escape.
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
# Keys from every block of the keyboard: letters in both cases, digits, both Enters, the arrows
# and the keys above them, the keypad's operators and digits, function keys.
keys=(a b c d e f g h i j k l m n o p q r s t u v w x y z A T Z 0 5 9 space Return Tab BackSpace
  Left Up Right Down Prior Next Home End Insert Delete KP_Enter KP_Add KP_Subtract KP_Multiply
  KP_5 KP_9 F1 F5 F12)

# Keys go to the window with the pointer on it (Xvfb has no window manager to move the focus).
press_keys() {
  local pressed=() n
  for ((n = 0; n < 100; n++)); do
    pressed+=("${keys[RANDOM % ${#keys[@]}]}")
  done
  xdotool mousemove --window "$id" $((RANDOM % width)) $((RANDOM % height)) \
    key --delay 0 "${pressed[@]}" || fail "xdotool could not press keys"
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
