#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Fuzzing stage: builds the libFuzzer targets (preset "fuzz": clang++ with
# AddressSanitizer and UndefinedBehaviorSanitizer) and runs every target for
# FUZZ_SECONDS (60 by default), side by side, each from a copy of its seed
# corpus so that the repository's corpus is never written. Fails on a crash,
# a failed check, a sanitizer or leak report, or an input slower than
# FUZZ_TIMEOUT seconds (libFuzzer's -timeout: how an operation that never
# finishes, on operands in or outside normal form, becomes a finding); the
# failing input is kept under build/fuzz/artifacts.
set -euo pipefail
cd "$(dirname "$0")/.."
source .ci/lib.sh

seconds="${FUZZ_SECONDS:-60}"
timeout="${FUZZ_TIMEOUT:-10}"
targets=(loaders arithmetic integer)

stage "fuzz: toolchain"
need_packages cmake ninja-build clang libclang-rt-14-dev libgmp-dev

stage "fuzz: build"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

run_target() {
  local target="$1" dir="$work/$1"
  mkdir -p "$dir/corpus" "$dir/artifacts"
  cp fuzz/corpus/"$target"/* "$dir/corpus/"
  "build/fuzz/fuzz/$target" -max_total_time="$seconds" -timeout="$timeout" -print_final_stats=1 \
    -artifact_prefix="$dir/artifacts/" "$dir/corpus" >"$dir/log" 2>&1
}

# The last value of a libFuzzer final statistic, or "?".
final_stat() {
  grep -o "stat::$2: *[0-9]*" "$work/$1/log" | tail -1 | grep -o '[0-9]*$' || echo "?"
}

stage "fuzz: ${targets[*]} for ${seconds}s each"
declare -A pids
for target in "${targets[@]}"; do
  run_target "$target" &
  pids[$target]=$!
done

failed=0
for target in "${targets[@]}"; do
  if wait "${pids[$target]}"; then
    runs="$(final_stat "$target" number_of_executed_units)"
    rate="$(final_stat "$target" average_exec_per_sec)"
    echo "$target: $runs executions (${rate}/s), no findings"
  else
    failed=1
    echo "$target: FAILED; the end of its log:"
    grep -v '^    #[0-9]' "$work/$target/log" | tail -40
    mkdir -p build/fuzz/artifacts
    cp -r "$work/$target/artifacts" "build/fuzz/artifacts/$target"
    echo "input kept in build/fuzz/artifacts/$target; rerun it with build/fuzz/fuzz/$target <file>"
  fi
done

if [ "$failed" -ne 0 ]; then
  exit 1
fi
echo "fuzzing passed in ${SECONDS}s"
