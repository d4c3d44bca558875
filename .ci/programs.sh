#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs both programs of a release build under valgrind, without a terminal
# or a display: any memory error or leak of any kind fails the stage, except
# the tables that linked libraries (GTK's, for rsabox) build as they load.
set -euo pipefail
cd "$(dirname "$0")/.."
source .ci/lib.sh

need_packages valgrind

stage "release build of the programs"
cmake --preset release
cmake --build --preset release --target rsacon rsabox

for program in rsacon/rsacon rsabox/rsabox; do
  stage "valgrind: ${program##*/}"
  env -u DISPLAY -u WAYLAND_DISPLAY valgrind --quiet --num-callers=30 --suppressions=.ci/valgrind.supp \
    --leak-check=full --show-leak-kinds=all --errors-for-leak-kinds=all --error-exitcode=1 \
    "build/release/${program}" </dev/null >/dev/null
  echo "${program##*/}: no memory errors, no leaks"
done
