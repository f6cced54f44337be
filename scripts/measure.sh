#!/usr/bin/env bash
# Measures the running program under Xvfb: CPU use of its process and how often its timers fire
# and its window is presented, read from the measuring build's once-a-second counts.
#
# Usage: scripts/measure.sh <seconds> [path-to-gravity_stats]
#   The binary may also be given as GRAVITY_STATS=<path>; default build/release/gravity_stats.
#   The Windows build's gravity_stats.exe runs under Wine, in the prefix build/wine-prefix-measure
#   made on its first run (about 14 s).
#   Builds nothing. Each phase below runs for <seconds>:
#     empty     timer handlers left out (GRAVITY_STATS_NO_HANDLERS=1): the window layer alone
#     start     as the program starts: the simulation running on 81 massless bodies
#     seeded    after a mouse release on the window: a random universe in motion
#     playback  after Enter: the recorded history played back
#   Then, in a program started afresh and seeded once (about 65 s):
#     running   30 s from 10 s after the seeding: ticks and presents per second and CPU use, and
#               resident memory (VmRSS) 10 s and 60 s after the seeding
#   Then, in another fresh program, the window resized to each size and seeded there:
#     626x549, 3840x2160, 7680x4320   ticks and presents per second and CPU use
#   Then, in another, a seeded universe running while the window is resized to 7680 x 4320 and
#   back, then to 200 random sizes in 2 s:
#     resizes   the ticks of every second throughout
# Targets: well under 3 % of one core for "empty", 1000 +- 10 firings per second throughout;
# while running at least 990 ticks per second, at most 25 % of one core, no growth in memory; at
# every size at least 990 ticks in every second, and at 3840 x 2160 at most 1.3 times the CPU use
# at 626 x 549, since presenting costs what changed rather than the window's area; through the
# resizes at least 990 ticks in every second.
# MEASURE_ONLY=sizes or MEASURE_ONLY=resizes runs that part alone.
set -u

seconds=${1:?usage: scripts/measure.sh <seconds> [path-to-gravity_stats]}
binary=${2:-${GRAVITY_STATS:-build/release/gravity_stats}}
[[ "$seconds" =~ ^[0-9]+$ && "$seconds" -ge 2 ]] || { echo "measure: <seconds> must be a whole number >= 2" >&2; exit 2; }
[[ -x "$binary" ]] || { echo "measure: $binary is not an executable (build the gravity_stats target)" >&2; exit 2; }
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "measure: $tool is missing (scripts/install-deps.sh measure)" >&2; exit 2; }
done

source "$(dirname "$0")/measuring.sh"
choose_launcher "$binary"

# The real-window tests' private display and window search.
source "$(dirname "$0")/../tests/window/lib.sh" "$binary"
# Large enough for the largest window measured; XVFB_SCREEN=7680x4320x30 measures a deep-colour
# screen.
XVFB_SCREEN=${XVFB_SCREEN:-7680x4320x24} start_display

ticks_per_second=$(getconf CLK_TCK)

start_program() {
  env "$@" "${launcher[@]}" "$binary" >"$WORK/counts" 2>"$WORK/stderr" &
  APP_PID=$!
  window=$(find_window) || exit 1
  # Under Wine the keys go to the focused window only.
  ((${#launcher[@]} == 0)) || xdotool windowfocus --sync "$window"
  xdotool mousemove --window "$window" 313 274
  sleep 1  # let start-up settle
}

stop_program() {
  kill "$APP_PID"
  wait "$APP_PID" 2>/dev/null
  APP_PID=
}

# Runs one phase: CPU over the whole interval, rates averaged over the count lines printed in it.
# The interval is <seconds> unless given.
measure() {
  local name=$1 secs=${2:-$seconds} first_line ticks_before ticks_after
  first_line=$(($(wc -l <"$WORK/counts") + 1))
  ticks_before=$(cpu_ticks)
  sleep "$secs"
  ticks_after=$(cpu_ticks)
  tail -n +"$first_line" "$WORK/counts" | awk -v name="$name" -v ticks=$((ticks_after - ticks_before)) \
      -v hz="$ticks_per_second" -v secs="$secs" '
    { for (i = 1; i <= NF; i++) { split($i, kv, "="); sum[kv[1]] += kv[2] }
      t = 0; split($1, kv, "="); t += kv[2]; split($2, kv, "="); t += kv[2]
      if (n == 0 || t < low) low = t
      if (n == 0 || t > high) high = t
      n++ }
    END {
      if (n == 0) { printf "%-9s no counts printed\n", name; exit }
      printf "%-9s cpu %5.1f %%   firings/s %7.1f (t %6.1f, h %6.1f; slowest second %d, fastest %d)   presents/s %5.1f\n",
             name, 100 * ticks / hz / secs, (sum["firings_t"] + sum["firings_h"]) / n,
             sum["firings_t"] / n, sum["firings_h"] / n, low, high, sum["presents"] / n
    }'
}

echo "measure: $binary, ${seconds} s per phase, display $DISPLAY, load $(cut -d' ' -f1-3 /proc/loadavg)"

# The window at each size, seeded there, then measured: prints one line per size and a verdict.
measure_sizes() {
  local size lines=() line
  start_program
  for size in 626x549 3840x2160 7680x4320; do
    xdotool windowmove --sync "$window" 0 0 windowsize --sync "$window" "${size%x*}" "${size#*x}"
    xdotool mousemove --window "$window" 313 274 click 1
    sleep 3  # the resize and the first whole-window presents are past
    line=$(measure "$size")
    echo "$line"
    lines+=("$line")
  done
  stop_program
  printf '%s\n' "${lines[@]}" | awk -v load="$(cut -d' ' -f1-3 /proc/loadavg)" '
    { for (i = 1; i < NF; i++) {
        if ($i == "cpu") cpu[NR] = $(i + 1)
        if ($i == "second") { slow = $(i + 1); sub(/,/, "", slow); low[NR] = slow + 0 }
      } }
    END {
      ok = 1
      for (k = 1; k <= NR; k++) if (low[k] < 990) ok = 0
      if (cpu[2] > 1.3 * cpu[1]) ok = 0
      printf "sizes     slowest second %d / %d / %d ticks (>= 990)   cpu at 3840x2160 %.2f x that at 626x549 (<= 1.3)   load %s   %s\n",
             low[1], low[2], low[3], cpu[2] / cpu[1], load, ok ? "all targets met" : "TARGET MISSED"
    }'
}

# A universe running while the window is resized to the largest size measured and back, then to
# 200 random sizes in 2 s, one every 10 ms: prints the ticks of every second from the second
# before the first resize to two seconds after the last, and a verdict.
measure_resizes() {
  local first_line storm=() k
  start_program
  xdotool click 1
  sleep 2
  first_line=$(($(wc -l <"$WORK/counts") + 1))
  sleep 1
  xdotool windowsize "$window" 7680 4320
  sleep 1.5
  xdotool windowsize "$window" 626 549
  sleep 1.5
  for ((k = 0; k < 200; k++)); do
    storm+=(windowsize "$window" $((100 + RANDOM % 7580)) $((100 + RANDOM % 4220)) sleep 0.01)
  done
  xdotool "${storm[@]}" windowsize "$window" 626 549
  sleep 2
  kill -0 "$APP_PID" 2>/dev/null || { echo "measure: the program ended while being resized" >&2; exit 1; }
  tail -n +"$first_line" "$WORK/counts" | awk -v load="$(cut -d' ' -f1-3 /proc/loadavg)" '
    { split($1, kv, "="); ticks[NR] = kv[2]; if (NR == 1 || kv[2] < low) low = kv[2] }
    END {
      line = ""
      for (k = 1; k <= NR; k++) line = line " " ticks[k]
      printf "resizes   ticks of every second:%s   slowest %d (>= 990)   load %s   %s\n",
             line, low, load, (NR > 0 && low >= 990) ? "target met" : "TARGET MISSED"
    }'
  stop_program
}

case "${MEASURE_ONLY:-}" in
  sizes)
    measure_sizes
    exit
    ;;
  resizes)
    measure_resizes
    exit
    ;;
esac

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

# A fresh program, seeded once and left to run: the rates and CPU over 30 s, from 10 s after the
# seeding (when start-up and the seeding are long past), and resident memory 10 s and 60 s after
# it. The history fills after about 63 s of simulation from start-up, so all of this is taken
# while the simulation runs.
rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$APP_PID/status"; }
sleep_until_ms() {
  local left=$(($1 - $(now_ms)))
  if ((left > 0)); then sleep "$((left / 1000)).$(printf %03d $((left % 1000)))"; fi
}

start_program
xdotool click 1
seeded_at=$(now_ms)
sleep_until_ms $((seeded_at + 10000))
rss_10=$(rss_kb)
running=$(measure running 30)
echo "$running"
sleep_until_ms $((seeded_at + 60000))
rss_60=$(rss_kb)
mode_60=$(tail -1 "$WORK/counts" | awk '{print ($2 == "firings_h=0" ? "simulating" : "playing back")}')
kill -0 "$APP_PID" 2>/dev/null || { echo "measure: the program ended while running" >&2; exit 1; }
stop_program

awk -v line="$running" -v rss10="$rss_10" -v rss60="$rss_60" -v mode="$mode_60" -v load="$(cut -d' ' -f1-3 /proc/loadavg)" '
  BEGIN {
    n = split(line, f, /[ ()%,;]+/)
    for (i = 1; i < n; i++) {
      if (f[i] == "cpu") cpu = f[i + 1]
      if (f[i] == "t") ticks = f[i + 1]
      if (f[i] == "presents/s") presents = f[i + 1]
    }
    verdict = (ticks >= 990 && cpu <= 25 && rss60 <= rss10) ? "all targets met" : "TARGET MISSED"
    printf "summary   ticks/s %.1f (>= 990)   presents/s %.1f   cpu %.1f %% (<= 25)   VmRSS %d kB at 10 s, %d kB at 60 s (no growth; %s then)   load %s   %s\n",
           ticks, presents, cpu, rss10, rss60, mode, load, verdict
  }'

measure_sizes
measure_resizes
