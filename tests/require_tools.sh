# Sourced by the real-window and packaging tests. `require_tools TOOL...` skips the test (CTest's
# skip code 77) when a tool it drives is not installed; with GRAVITY_REQUIRE_ALL_TESTS=1, which
# `make test` sets after installing every tool, a missing tool fails the test instead, so a run
# can never pass by skipping.
require_tools() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null 2>&1 && continue
    if [[ "${GRAVITY_REQUIRE_ALL_TESTS:-}" == 1 ]]; then
      echo "FAIL: $tool is not installed (scripts/install-deps.sh test installs it)" >&2
      exit 1
    fi
    echo "SKIP: $tool is not installed" >&2
    exit 77
  done
}
