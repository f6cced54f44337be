# The 1 ms cadence under Wine: the measuring build, seeded by a click, fires timer `t` at least
# 9900 times in 10 s, and presents the window. A machine busy with other work can hold the program
# off the processor for longer than the cadence catches up, so the test watches for up to 30 s
# for ten seconds in a row that make it; a timer that cannot keep 1 ms (Sleep(1) under Wine gives
# 719 to 875 a second) never does. Prints the counts and the CPU time the program took.
source "$(dirname "$0")/lib.sh" "$@"
[[ -x "$STATS_BINARY" ]] || fail "$STATS_BINARY was not built"

open_windows_program "$STATS_BINARY"
# The whole world in view, so the bodies stay on the surface and keep the window presenting.
press --repeat 39 KP_Subtract
poll 20 outline_spans "$id" "63 563 *" || fail "keypad minus did not zoom out to the whole world"
xdotool click 1 || fail "xdotool could not click"
poll 10 shows_bodies "$id" || fail "no coloured pixel within 10 s of the click"
# Whole seconds only: from the second line after the click.
first=$(($(count_lines) + 2))
cpu_ticks() { awk '{print $14 + $15}' "/proc/$APP_PID/stat"; }
cpu_from=$(cpu_ticks)
started=$SECONDS

# The best ten seconds in a row so far: "ticks presents".
best_ten() {
  tail -n +"$first" "$WORK/stdout" | awk -F'[ =]' '
    { t[NR] = $2; p[NR] = $6 }
    END { for (i = 10; i <= NR; i++) {
            s = 0; q = 0; for (k = i - 9; k <= i; k++) { s += t[k]; q += p[k] }
            if (s > best) { best = s; presents = q } }
          print best + 0, presents + 0 }'
}
made_it() { read -r ticks presents < <(best_ten); ((ticks >= 9900)); }
poll 40 eval 'made_it || (($(count_lines) >= first + 30 - 1))'
cpu_percent=$(((($(cpu_ticks) - cpu_from) * 100 / $(getconf CLK_TCK)) / (SECONDS - started + 1)))
echo "measured: best 10 s in a row: $ticks ticks and $presents presents; $cpu_percent % of one core (the program, not wineserver)"
((ticks >= 9900)) || fail "no 10 s in a row with 9900 ticks in 30 s: $(tail -n +"$first" "$WORK/stdout" | awk -F'[ =]' '{printf "%s ", $2}')"
((presents > 0)) || fail "no present in 10 s"

escape_ends_within_a_second
echo "ok: $ticks ticks in 10 s"
