# What the measuring scripts share, sourced by them: how a program is run, and its CPU time.

# Sets `launcher` to what runs the program $1 before its path: nothing, or for a .exe Wine, in the
# prefix build/wine-prefix-measure made on its first run (about 14 s).
choose_launcher() {
  launcher=()
  [[ "$1" == *.exe ]] || return 0
  export WINEPREFIX=$PWD/build/wine-prefix-measure WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  if [[ ! -e "$WINEPREFIX/.made" ]]; then
    wineboot -i >/dev/null 2>&1 && wineserver -w && touch "$WINEPREFIX/.made"
  fi
  launcher=(wine)
}

# The CPU time of the running program (APP_PID) so far, in clock ticks.
cpu_ticks() { awk '{print $14 + $15}' "/proc/$APP_PID/stat"; }
