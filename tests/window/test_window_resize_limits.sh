# Resizing never ends the program: neither a window far larger than anything can present, nor a
# large window while memory is short. Back at an ordinary size it draws and answers Escape.
source "$(dirname "$0")/lib.sh" "$@"

start_display
# 400 MB of address space: an 8000 x 8000 surface (256 MB) and the window's own pixels of that size
# do not both fit.
(ulimit -v 400000 && exec "$GRAVITY" >"$WORK/stdout" 2>"$WORK/stderr") &
APP_PID=$!
id=$(find_window) || exit 1

has_size() { [[ "$(window_size "$id")" == "$1 x $2" ]]; }
for size in "8000 8000" "40000 40000" "8000 8000" "700 500"; do
  xdotool windowsize "$id" $size || fail "xdotool could not resize the window to $size"
  poll 10 has_size $size || fail "the window did not take the size $size"
  sleep 1  # time to present, or to fail at it
  alive || fail "the program ended after a resize to $size"
done

xdotool mousemove --window "$id" 350 250 click 1 || fail "xdotool could not click"
poll 20 shows_bodies "$id" || fail "no bodies drawn at 700 x 500 after the large sizes"
xdotool key Escape || fail "xdotool could not press Escape"
wait_for_exit 10
((EXIT_STATUS == 0)) || fail "exit status $EXIT_STATUS after Escape"
echo "ok: ran on through 8000 x 8000 under a memory limit and 40000 x 40000, then drew and quit"
