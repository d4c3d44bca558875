#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs the GMP oracle suite and the multiplication tests once for each
# product kernel level this processor has, forced with BIGNUM_KERNEL, and
# checks that each run used the level it forced, and that no value or an
# unknown one gives the best level; the other stages run the level the
# library picks by itself. Levels the processor lacks are skipped and named.
set -euo pipefail
cd "$(dirname "$0")/.."
source .ci/lib.sh

need_packages cmake ninja-build g++ libgtest-dev libgmock-dev libgmp-dev

stage "kernel levels: build the tests (preset dev)"
cmake --preset dev >/dev/null
cmake --build --preset dev --target bignum_oracle_tests bignum_tests bignum_kernel_level

# The flags the processor reports and the kernel enables, as the library's
# own detection sees them.
flags="$(grep -m1 '^flags' /proc/cpuinfo || true)"
has_flag() { [[ " ${flags#*:} " == *" $1 "* ]]; }

levels=(portable)
if [ "$(uname -m)" = x86_64 ]; then
  for level in avx2 avx512; do
    flag="$level"
    [ "$level" = avx512 ] && flag=avx512f
    if has_flag "$flag"; then
      levels+=("$level")
    else
      echo "kernel level $level: skipped, the processor lacks $flag"
    fi
  done
fi

for level in "${levels[@]}"; do
  stage "kernel level $level: GMP oracle suite and multiplication tests"
  BIGNUM_KERNEL="$level" build/dev/tests/bignum_kernel_level "$level"
  BIGNUM_KERNEL="$level" build/dev/tests/bignum_oracle_tests --gtest_brief=1
  BIGNUM_KERNEL="$level" build/dev/tests/bignum_tests --gtest_brief=1 --gtest_filter='Multiplication.*'
done
best="${levels[-1]}"
stage "kernel level: unset or unknown BIGNUM_KERNEL gives $best"
env -u BIGNUM_KERNEL build/dev/tests/bignum_kernel_level "$best"
BIGNUM_KERNEL=sse2 build/dev/tests/bignum_kernel_level "$best"
echo "kernel levels run: ${levels[*]}"
