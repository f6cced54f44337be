#!/usr/bin/env bash
# Measures the Windows program under Wine in Xvfb: how often its timers fire and its window is
# presented (the measuring build's once-a-second counts), and the CPU use of the program and of
# Wine's server, which does part of the program's work.
#
# Usage: scripts/measure-windows.sh <seconds> [path-to-gravity_stats.exe]
#   Builds nothing. Uses the Wine prefix build/wine-prefix-measure, made on the first run (about
#   14 s). Each phase runs for <seconds>:
#     empty     timer handlers left out (GRAVITY_STATS_NO_HANDLERS=1): the window layer alone
#     start     as the program starts: the simulation running on 81 massless bodies
#     seeded    after a mouse release on the window: a random universe in motion
#     playback  after Enter: the recorded history played back
# Target: 1000 +- 10 firings per second throughout.
set -u

seconds=${1:?usage: scripts/measure-windows.sh <seconds> [path-to-gravity_stats.exe]}
binary=${2:-build/windows/gravity_stats.exe}
[[ "$seconds" =~ ^[0-9]+$ && "$seconds" -ge 2 ]] || { echo "measure-windows: <seconds> must be a whole number >= 2" >&2; exit 2; }
[[ -x "$binary" ]] || { echo "measure-windows: $binary is not built (make windows)" >&2; exit 2; }
for tool in Xvfb xdotool wine wineserver; do
  command -v "$tool" >/dev/null || { echo "measure-windows: $tool is missing (scripts/install-deps.sh windows-test)" >&2; exit 2; }
done

source "$(dirname "$0")/private-display.sh"
export WINEPREFIX=$PWD/build/wine-prefix-measure WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [[ ! -e "$WINEPREFIX/.made" ]]; then
  echo "measure-windows: making the Wine prefix $WINEPREFIX"
  wineboot -i >/dev/null 2>&1 && wineserver -w && touch "$WINEPREFIX/.made"
fi
start_private_display measure-windows
hz=$(getconf CLK_TCK)

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo 0; }
# The server of this prefix: the one whose environment names it.
server_pid() {
  local pid
  for pid in $(pgrep wineserver); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && { echo "$pid"; return; }
  done
}

start_program() {
  env "$@" wine "$binary" >"$work/counts" 2>"$work/stderr" &
  app_pid=$!
  window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Form1$' 2>/dev/null | head -1)
  [[ -n "$window" ]] || { echo "measure-windows: no window appeared" >&2; exit 1; }
  xdotool windowfocus --sync "$window" mousemove --window "$window" 313 274
  sleep 1
}

stop_program() {
  kill "$app_pid"
  wait "$app_pid" 2>/dev/null
  app_pid=
}

# One phase: CPU of the program and the server over it, rates averaged over its count lines.
measure() {
  local name=$1 first server app_before server_before
  first=$(($(wc -l <"$work/counts") + 1))
  server=$(server_pid)
  app_before=$(cpu_ticks "$app_pid")
  server_before=$(cpu_ticks "${server:-0}")
  sleep "$seconds"
  tail -n +"$first" "$work/counts" | tr -d '\r' | awk -F'[ =]' -v name="$name" -v secs="$seconds" -v hz="$hz" \
      -v app=$(($(cpu_ticks "$app_pid") - app_before)) -v server=$(($(cpu_ticks "${server:-0}") - server_before)) '
    { t += $2; h += $4; p += $6; f = $2 + $4; if (n == 0 || f < low) low = f; n++ }
    END {
      if (n == 0) { printf "%-9s no counts printed\n", name; exit }
      printf "%-9s firings/s %7.1f (t %6.1f, h %6.1f; slowest second %d)   presents/s %5.1f   cpu: program %5.1f %%, wineserver %5.1f %%\n",
             name, (t + h) / n, t / n, h / n, low, p / n, 100 * app / hz / secs, 100 * server / hz / secs
    }'
}

echo "measure-windows: $binary, ${seconds} s per phase, load $(cut -d' ' -f1-3 /proc/loadavg)"
start_program GRAVITY_STATS_NO_HANDLERS=1
measure empty
stop_program

start_program
measure start
xdotool click 1
sleep 0.5
measure seeded
xdotool key Return
sleep 0.5
measure playback
stop_program
wineserver -k
