# The 1 ms cadence under Wine: the measuring build, seeded by a click, fires timer `t` at least
# 9900 times in the 10 s after the click, and presents the window. Prints the counts and the CPU
# time the program took.
source "$(dirname "$0")/lib.sh" "$@"
[[ -x "$STATS_BINARY" ]] || fail "$STATS_BINARY was not built"

open_windows_program "$STATS_BINARY"
xdotool click 1 || fail "xdotool could not click"
poll 10 shows_bodies "$id" || fail "no coloured pixel within 10 s of the click"
after=$(count_lines)
cpu_ticks() { awk '{print $14 + $15}' "/proc/$APP_PID/stat"; }
cpu_from=$(cpu_ticks)
poll 15 eval '(($(count_lines) >= after + 11))' || fail "fewer than 11 lines of counts in 15 s"
cpu_to=$(cpu_ticks)

# Ten whole seconds: the lines after the first one that follows the click.
read -r ticks presents < <(tail -n +"$((after + 2))" "$WORK/stdout" | head -10 |
  awk -F'[ =]' '{t += $2; p += $6} END {print t, p}')
cpu_percent=$(((cpu_to - cpu_from) * 100 / $(getconf CLK_TCK) / 11))
echo "measured: $ticks ticks and $presents presents in 10 s; $cpu_percent % of one core (the program, not wineserver)"
((ticks >= 9900)) || fail "only $ticks ticks in 10 s (at least 9900 wanted): $(tail -n +"$((after + 2))" "$WORK/stdout" | head -10 | tr '\n' ' ')"
((presents > 0)) || fail "no present in 10 s"

escape_ends_within_a_second
echo "ok: $ticks ticks in 10 s"
