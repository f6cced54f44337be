#!/usr/bin/env bash
# The browser build of the core gives the desktop's results to the bit: its determinism check, run
# under Node, succeeds (the golden hash, every position finite) and prints the state hash that the
# same check built for the desktop prints.
# Usage: determinism.sh path/to/core_determinism.js <the-desktop-check>
set -uo pipefail
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
desktop=$("$2") || fail "the desktop's check failed: $desktop"
page=$(NODE_PATH=/usr/share/nodejs node --no-experimental-fetch "$1") ||
  fail "the page's check failed: $page"
echo "measured: state hash $page in the page, $desktop on the desktop"
[[ "$desktop" =~ ^[0-9a-f]{16}$ && "$page" == "$desktop" ]] ||
  fail "the page ends in state $page, the desktop in $desktop"
echo "ok: the desktop's state to the bit"
