#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the benchmarks and runs every one of them once, briefly, so that they
# cannot rot; each also checks its result against the library's before timing.
# The timings of this run mean nothing, and it is no part of the test stage.
set -euo pipefail
cd "$(dirname "$0")/.."
source .ci/lib.sh

stage "benchmark dependencies"
need_packages cmake ninja-build g++ libbenchmark-dev libssl-dev libtommath-dev libgmp-dev

stage "build the benchmarks (preset bench)"
cmake --preset bench
cmake --build --preset bench

stage "one short run of every benchmark"
build/bench/bench/bignum_bench --benchmark_min_time=0
