#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs both programs of a release build under valgrind, without a terminal:
# any memory error or leak of any kind fails the stage.
set -euo pipefail
cd "$(dirname "$0")/.."
source .ci/lib.sh

need_packages valgrind

stage "release build of the programs"
cmake --preset release
cmake --build --preset release --target rsacon rsabox

for program in rsacon/rsacon rsabox/rsabox; do
  stage "valgrind: ${program##*/}"
  valgrind --quiet --leak-check=full --show-leak-kinds=all --errors-for-leak-kinds=all --error-exitcode=1 \
    "build/release/${program}" </dev/null >/dev/null
  echo "${program##*/}: no memory errors, no leaks"
done
