#!/usr/bin/env bash
# Runs the browser build of the core's determinism check twice under Node: both runs must succeed
# (every position finite) and print the same state hash.
# Usage: determinism.sh path/to/core_determinism.js
set -euo pipefail
run() { NODE_PATH=/usr/share/nodejs node --no-experimental-fetch "$1"; }
first=$(run "$1")
second=$(run "$1")
echo "state hash after 2000 ticks: $first, then $second"
[[ -n "$first" && "$first" == "$second" ]]
