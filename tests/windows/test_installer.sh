# The installer under Wine: `/S` installs silently into Program Files with a Start-menu entry and
# an entry in the list of installed programs; the installed program opens its window and Escape
# ends it; the uninstaller, silent too, removes it all again. makensis's installers can fail under
# Wine and still exit 0, so the installed files are what is checked, not the status.
source "$(dirname "$0")/lib.sh" "$@"
shopt -s nullglob
installers=("$PACKAGES_DIR"/gravity-*-windows-x64-setup.exe)
((${#installers[@]} == 1)) || fail "expected one installer in $PACKAGES_DIR, found ${#installers[@]}"

start_display
program_files=$WINEPREFIX/drive_c/Program\ Files/gravity
start_menu=$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/gravity.lnk
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\gravity'
rm -rf "$program_files"

wine "${installers[0]}" /S >"$WORK/install.log" 2>&1
wineserver -w
for file in gravity.exe README.md LICENSE.txt uninstall.exe; do
  [[ -s "$program_files/$file" ]] || fail "the installer did not install $file: $(ls "$program_files" 2>&1 | tr '\n' ' ')"
done
cmp -s "$program_files/gravity.exe" "$GRAVITY" || fail "the installed gravity.exe is not the one tested"
[[ -s "$start_menu" ]] || fail "no Start-menu entry at $start_menu"
wine reg query "$uninstall_key" /v UninstallString >"$WORK/reg.txt" 2>&1 ||
  fail "no entry in the list of installed programs: $(tr -d '\r' <"$WORK/reg.txt")"
echo "measured: installed $(du -k "$program_files/gravity.exe" | cut -f1) KB gravity.exe, README.md, LICENSE.txt, uninstall.exe and the Start-menu entry"

start_gravity "$program_files/gravity.exe"
id=$(find_window) || exit 1
[[ "$(window_size "$id")" == "626 x 549" ]] || fail "the installed program's client area is $(window_size "$id")"
xdotool windowfocus --sync "$id" || fail "xdotool could not focus the window"
escape_ends_within_a_second

# Run in place (_?=), the uninstaller finishes before it returns.
wine "$program_files/uninstall.exe" /S "_?=C:\\Program Files\\gravity" >"$WORK/uninstall.log" 2>&1
wineserver -w
[[ ! -e "$program_files/gravity.exe" && ! -e "$start_menu" ]] ||
  fail "the uninstaller left the program or its Start-menu entry behind"
wine reg query "$uninstall_key" >/dev/null 2>&1 && fail "the uninstaller left its entry in the list of installed programs"
rm -rf "$program_files"
echo "ok: silent install, the installed program's window, silent uninstall"
