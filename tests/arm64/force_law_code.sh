# The arm64 build's force law, read from its machine code. Nothing in the program is fused: a fused
# multiply-add rounds once where the code rounds twice, which would change a universe's bits. And
# the row loops of the force law's two files run in NEON vector instructions, two doubles at a time:
# the division of every power, and the row's square roots, divisions and roundings to single.
# Usage: bash force_law_code.sh <objdump> <program> <force_power.cpp.o> <attract_bodies.cpp.o>
set -uo pipefail
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
(($# == 4)) || fail "usage: bash $0 <objdump> <program> <force_power.cpp.o> <attract_bodies.cpp.o>"
objdump=$1
program=$2

# Instruction and operands of every instruction, e.g. "fdiv v0.2d, v4.2d, v5.2d".
instructions() { "$objdump" -d --no-show-raw-insn "$1" | awk -F'\t' 'NF >= 3 { print $2 " " $3 }'; }

# Scalar and vector, every instruction that multiplies and adds or subtracts with one rounding.
fused=$(instructions "$program" | grep -E '^(fn?madd|fn?msub|fml[as]|fmlal2?|fmlsl2?|bfml)' | cut -d" " -f1 | sort | uniq -c)
[[ -z "$fused" ]] || fail "the program has fused instructions:
$fused"

# Fails unless the object file $1 has each of the vector instructions that follow, as a pattern on
# the instruction and its operands.
expect_vectors() {
  local name code pattern
  name=$(basename "$1")
  code=$(instructions "$1") || fail "$objdump could not read $1"
  shift
  for pattern in "$@"; do
    grep -qE "^$pattern" <<<"$code" || fail "no '$pattern' in $name: the loop stayed scalar"
  done
  echo "measured: $name: $(grep -cE '^f[a-z0-9]+ v[0-9]+\.2d' <<<"$code") vector instructions on doubles"
}
expect_vectors "$3" 'fdiv v[0-9]+\.2d' 'fmul v[0-9]+\.2d'
expect_vectors "$4" 'fsqrt v[0-9]+\.2d' 'fdiv v[0-9]+\.2d' 'fcvtn v[0-9]+\.2s, v[0-9]+\.2d'
echo "ok: nothing fused in the program, and the force law's rows in vector instructions"
