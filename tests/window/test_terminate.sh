# The program keeps running until it is told to stop, then ends at once with status 0 and having
# printed nothing.
source "$(dirname "$0")/lib.sh" "$@"

start_display
start_gravity
find_window >/dev/null || exit 1

# Still there a couple of seconds later, timers running.
for _ in 1 2 3 4 5 6 7 8 9 10; do
  sleep 0.2
  alive || fail "the program ended on its own"
done

kill -TERM "$APP_PID"
wait_for_exit 20
[[ "$EXIT_STATUS" == 0 ]] || fail "exit status after SIGTERM was $EXIT_STATUS, expected 0"
[[ ! -s "$WORK/stdout" ]] || fail "the program printed: $(head -3 "$WORK/stdout")"
echo "ok: ran until SIGTERM, exited 0"
