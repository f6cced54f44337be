# Without any display the program says in one line why it cannot open a window and exits with
# status 1, instead of crashing or running invisibly.
source "$(dirname "$0")/lib.sh" "$@"

env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 30 "$GRAVITY" \
  >"$WORK/stdout" 2>"$WORK/stderr"
status=$?

[[ "$status" == 1 ]] || fail "exit status was $status, expected 1"
lines=$(wc -l <"$WORK/stderr")
[[ "$lines" == 1 ]] || fail "stderr has $lines lines, expected one: $(cat "$WORK/stderr")"
grep -q '^gravity: cannot open a window: .' "$WORK/stderr" ||
  fail "unexpected message: $(cat "$WORK/stderr")"
[[ ! -s "$WORK/stdout" ]] || fail "stdout not empty: $(head -3 "$WORK/stdout")"
echo "ok: $(cat "$WORK/stderr")"
