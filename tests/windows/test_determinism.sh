# The core as built for Windows gives the desktop's results to the bit: the scripted universes, run
# under Wine, end in the states (hashed) that the same check built for the desktop ends in, at
# finite positions.
# Usage: bash test_determinism.sh <windows-build-folder> <wine-prefix> <the-desktop-check>
source "$(dirname "$0")/lib.sh" "$@"
check=$WINDOWS_DIR/tests/core_determinism.exe
desktop_check=${3:?usage: bash $0 <windows-build-folder> <wine-prefix> <the-desktop-check>}
[[ -x "$check" ]] || fail "$check was not built"
desktop=$("$desktop_check") || fail "the desktop's check failed: $desktop"
windows=$(wine "$check" | tr -d '\r') || fail "the Windows check failed: $windows"
echo "measured: state hash $windows on Windows, $desktop on the desktop"
[[ "$desktop" =~ ^[0-9a-f]{16}$ && "$windows" == "$desktop" ]] ||
  fail "Windows ends in state $windows, the desktop in $desktop"
echo "ok: the desktop's state to the bit"
