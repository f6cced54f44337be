#!/usr/bin/env bash
# Measures how often the program wakes up and what it costs while a universe runs: under Xvfb,
# from 2 s after a click for <seconds>, the voluntary context switches of all its threads per
# second (each one a sleep ended) and its CPU use as a share of one core. A timer firing every
# millisecond is 1000 a second; a program that sleeps until the next present needs about 60.
#
# Usage: scripts/measure-wakes.sh <seconds> <program>...
#   Each program (a real one, not a measuring build) is measured twice, the programs taking turns,
#   so that figures before and after a change come from one run on one machine. A .exe runs under
#   Wine, in the prefix build/wine-prefix-measure.
set -u

seconds=${1:?usage: scripts/measure-wakes.sh <seconds> <program>...}
shift
(($# > 0)) || { echo "measure-wakes: name at least one program" >&2; exit 2; }
for program in "$@"; do
  [[ -x "$program" ]] || { echo "measure-wakes: $program is not an executable" >&2; exit 2; }
done

source "$(dirname "$0")/measuring.sh"
source "$(dirname "$0")/../tests/window/lib.sh" "$1"
XVFB_SCREEN=1280x1024x24 start_display

wakes() { cat /proc/"$APP_PID"/task/*/status 2>/dev/null | awk '/^voluntary_ctxt_switches/ { n += $2 } END { print n + 0 }'; }

measure_one() {
  local program=$1 launcher window wakes_before cpu_before
  choose_launcher "$program"
  "${launcher[@]}" "$program" >"$WORK/stdout" 2>"$WORK/stderr" &
  APP_PID=$!
  window=$(find_window) || exit 1
  ((${#launcher[@]} == 0)) || xdotool windowfocus --sync "$window"
  xdotool mousemove --window "$window" 313 274 click 1
  sleep 2
  wakes_before=$(wakes)
  cpu_before=$(cpu_ticks)
  sleep "$seconds"
  awk -v w=$(($(wakes) - wakes_before)) -v c=$(($(cpu_ticks) - cpu_before)) -v hz="$(getconf CLK_TCK)" \
    -v s="$seconds" -v name="$program" \
    'BEGIN { printf "%-40s wake-ups/s %7.1f   cpu %5.1f %% of a core\n", name, w / s, 100 * c / hz / s }'
  kill "$APP_PID"
  wait "$APP_PID" 2>/dev/null
  APP_PID=
}

echo "measure-wakes: ${seconds} s each, display $DISPLAY, load $(cut -d' ' -f1-3 /proc/loadavg)"
for round in 1 2; do
  for program in "$@"; do
    measure_one "$program"
  done
done
