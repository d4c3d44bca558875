#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Examples stage: examples/ as a project of its own, built against the
# release library installed into a scratch prefix, as a user who copies an
# example would build it; then each runs and its output is checked.
set -euo pipefail
cd "$(dirname "$0")/.."
source .ci/lib.sh

stage "examples against the installed library"
need_packages cmake ninja-build g++

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cmake --preset release >/dev/null
cmake --build --preset release
cmake --install build/release --prefix "$scratch/prefix" >/dev/null

cmake -S examples -B "$scratch/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH="$scratch/prefix"
cmake --build "$scratch/build"
ctest --test-dir "$scratch/build" --output-on-failure
