#!/usr/bin/env bash
# The browser build of the core gives the desktop's results to the bit: its determinism check, run
# under Node or in a page of one browser engine, succeeds (the golden hash, every position finite)
# and prints the state hash that the same check built for the desktop prints.
# Usage: determinism.sh path/to/core_determinism.js <the-desktop-check> [chromium|firefox|webkit]
set -uo pipefail
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
here=$(dirname "$0")
where=${3:-Node}
desktop=$("$2") || fail "the desktop's check failed: $desktop"
if [[ $# -ge 3 ]]; then
  page=$(NODE_PATH=/usr/share/nodejs node "$here/determinism.js" "$1" "$3")
else
  page=$(NODE_PATH=/usr/share/nodejs node --no-experimental-fetch "$1")
fi || fail "the page's check failed under $where: $page"
echo "measured: state hash $page in the page under $where, $desktop on the desktop"
[[ "$desktop" =~ ^[0-9a-f]{16}$ && "$page" == "$desktop" ]] ||
  fail "the page ends in state $page under $where, the desktop in $desktop"
echo "ok: the desktop's state to the bit"
