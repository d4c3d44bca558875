#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Emulated CPUs: the library, its unit tests and both programs cross-built
# statically for 32-bit x86 (i686) and for big-endian s390x, and run under
# QEMU's user mode emulation: every test passes, and rsacon writes byte for
# byte what the native build writes. The GMP oracle is left to the native
# stages: the targets have no GMP.
set -euo pipefail
cd "$(dirname "$0")/.."
source .ci/lib.sh

native=build/release
declare -A qemu=([i686]=qemu-i386-static [s390x]=qemu-s390x-static)

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

stage "emulated CPUs: cross compilers and QEMU"
need_packages cmake ninja-build g++ googletest python3 g++-i686-linux-gnu g++-s390x-linux-gnu qemu-user-static

stage "native rsacon, for its output"
cmake --preset release >/dev/null
cmake --build --preset release --target rsacon
"$native"/rsacon/rsacon </dev/null >"$native/rsacon.out"

for cpu in i686 s390x; do
  build=build/linux-$cpu
  stage "Linux $cpu under ${qemu[$cpu]}: build and every test"
  cmake --workflow --preset "linux-$cpu"

  stage "Linux $cpu: rsacon writes what the native build writes"
  "${qemu[$cpu]}" "$build"/rsacon/rsacon </dev/null >"$build/rsacon.out"
  cmp "$build/rsacon.out" "$native/rsacon.out" || fail "rsacon on $cpu and the native rsacon differ"
  echo "identical: $(wc -c <"$build/rsacon.out") bytes"
done
