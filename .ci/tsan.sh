#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The tests that run several threads, built with ThreadSanitizer: any data
# race fails the stage.
set -euo pipefail
cd "$(dirname "$0")/.."
source .ci/lib.sh

need_packages cmake ninja-build g++ libgtest-dev

stage "ThreadSanitizer"
# Without address randomisation: this libtsan cannot map its shadow memory
# under the wider randomisation of newer kernels (vm.mmap_rnd_bits > 28).
setarch "$(uname -m)" -R cmake --workflow --preset tsan
