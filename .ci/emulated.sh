#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Emulated CPUs: the library, its unit tests and both programs cross-built
# statically for 32-bit x86 (i686) and for big-endian s390x, and run under
# QEMU's user mode emulation: every test passes, and each program writes
# byte for byte what the native build writes. The GMP oracle is left to the native
# stages: the targets have no GMP.
set -euo pipefail
cd "$(dirname "$0")/.."
source .ci/lib.sh

native=build/release
declare -A qemu=([i686]=qemu-i386-static [s390x]=qemu-s390x-static)

stage "emulated CPUs: cross compilers and QEMU"
need_packages cmake ninja-build g++ googletest python3 g++-i686-linux-gnu g++-s390x-linux-gnu qemu-user-static

stage "native programs, for their output"
cmake --preset release >/dev/null
cmake --build --preset release --target rsacon rsabox
for program in rsacon rsabox; do
  env -u DISPLAY -u WAYLAND_DISPLAY "$native/$program/$program" </dev/null >"$native/$program.out"
done

for cpu in i686 s390x; do
  build=build/linux-$cpu
  stage "Linux $cpu under ${qemu[$cpu]}: build and every test"
  cmake --workflow --preset "linux-$cpu"

  for program in rsacon rsabox; do
    stage "Linux $cpu: $program writes what the native build writes"
    "${qemu[$cpu]}" "$build/$program/$program" </dev/null >"$build/$program.out"
    cmp "$build/$program.out" "$native/$program.out" || fail "$program on $cpu and the native $program differ"
    echo "identical: $(wc -c <"$build/$program.out") bytes"
  done
done
