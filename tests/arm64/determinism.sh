# The arm64 core gives this machine's results to the bit: the scripted universes end in the same
# states (hashed), and the force law's powers of a million bases hash the same.
# Usage: GRAVITY_EMULATOR=qemu-aarch64-static bash determinism.sh <this-machine's-check> <the-arm64-check>
set -uo pipefail
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
native=$("$1") || fail "this machine's check failed: $native"
# shellcheck disable=SC2086 # an empty emulator is no word at all
arm64=$(${GRAVITY_EMULATOR:-} "$2") || fail "the arm64 check failed: $arm64"
echo "measured: state hash $arm64 on arm64, $native on this machine"
[[ "$native" =~ ^[0-9a-f]{16}$ && "$arm64" == "$native" ]] ||
  fail "arm64 ends in state $arm64, this machine in $native"
echo "ok: this machine's state to the bit"
