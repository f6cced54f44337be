# Escape, with a universe running, ends the program with status 0. Prints how long it took.
source "$(dirname "$0")/lib.sh" "$@"

open_program
xdotool mousemove --window "$id" 313 274 click 1 || fail "xdotool could not click"
poll 10 shows_bodies "$id" || fail "no coloured pixel within 10 s of the click"

pressed=$(now_ms)
xdotool key Escape || fail "xdotool could not press Escape"
# Checked every 10 ms, so the time measured is within 10 ms of the exit (plus xdotool's own time).
deadline=$((pressed + 20000))
while alive && (($(now_ms) < deadline)); do sleep 0.01; done
ended=$(now_ms)
alive && fail "the program was still running 20 s after Escape"
wait "$APP_PID"
status=$?
APP_PID=
echo "measured: the program ended $((ended - pressed)) ms after Escape was sent, status $status"
[[ "$status" == 0 ]] || fail "exit status after Escape was $status, expected 0"
[[ ! -s "$WORK/stdout" ]] || fail "the program printed: $(head -3 "$WORK/stdout")"
echo "ok: Escape ended the program with status 0"
