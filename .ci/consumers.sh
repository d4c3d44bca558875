#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Consumers stage: the library as its users take it. The README's
# "Installing and using" commands run as written, with HOME in a scratch
# directory so that ~/.local is one too: once against a static install, once
# against a shared one. Then the tests against the shared library,
# FetchContent of this clone, a library that installs and exports itself
# with bignum, and the packages. Every consumer prints 3^65537 mod
# 1000000007.
set -euo pipefail
cd "$(dirname "$0")/.."
source .ci/lib.sh

repo=$PWD
consumers=$repo/tests/consumers
expected=754428556
section="Installing and using"

# The n-th fenced block (from 1) of a README section.
readme_block() {
  awk -v section="## $1" -v n="$2" '
    /^## / { inside = ($0 == section) }
    inside && /^```/ { fenced = !fenced; if (fenced) ++count; next }
    inside && fenced && count == n' "$repo/README.md"
}

# The README's blocks that are files here must be these files, less their
# SPDX line, so that what CI builds is what the README shows.
check_mirror() {
  local title=$1 n=$2 file=$3
  diff <(readme_block "$title" "$n") <(tail -n +2 "$file") ||
    fail "block $n of the README's \"$title\" differs from ${file#"$repo"/}"
}

# Runs a README block in a directory under a given HOME; its last line of
# output must be the expected value.
run_block() {
  local home=$1 dir=$2 n=$3 out
  echo "+ in ${dir#"$scratch"/}:"
  readme_block "$section" "$n" | sed 's/^/    /'
  out=$(cd "$dir" && HOME=$home bash -euo pipefail -c "$(readme_block "$section" "$n")")
  echo "$out" | tail -n 3
  [ "$(echo "$out" | tail -n 1)" = "$expected" ] || fail "block $n printed something else than $expected"
}

# A fresh copy of a consumer beside the README's app.cpp, with a link named
# bignum to this repository for those that add it as a subproject.
consumer() {
  local name=$1 dir=$2
  mkdir -p "$dir"
  [ -z "$name" ] || cp -r "$consumers/$name/." "$dir"
  cp "$consumers/app.cpp" "$dir"
  ln -s "$repo" "$dir/bignum"
}

expect_output() {
  local got
  got=$("$@")
  echo "$got"
  [ "$got" = "$expected" ] || fail "$* printed $got, not $expected"
}

stage "consumers: packages"
need_packages cmake ninja-build g++ git pkg-config libgtest-dev libgmp-dev

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

check_mirror "Using the library" 2 "$consumers/app.cpp"
check_mirror "$section" 2 "$consumers/find_package/CMakeLists.txt"
check_mirror "$section" 5 "$consumers/add_subdirectory/CMakeLists.txt"

stage "consumers: static install, then find_package, pkg-config and add_subdirectory as the README says"
home=$scratch/static
mkdir -p "$home"
(cd "$repo" && HOME=$home bash -euo pipefail -c "$(readme_block "$section" 1)")
find "$home/.local" -type f | sort
consumer find_package "$home/find_package"
run_block "$home" "$home/find_package" 3
consumer "" "$home/pkg-config"
run_block "$home" "$home/pkg-config" 4
consumer add_subdirectory "$home/add_subdirectory"
run_block "$home" "$home/add_subdirectory" 6

stage "consumers: shared install, then find_package and pkg-config as the README says"
home=$scratch/shared
shared_build=build/consumers-shared
cmake --preset release -B "$shared_build" -DBUILD_SHARED_LIBS=ON >/dev/null
cmake --build "$shared_build" --target bignum
cmake --install "$shared_build" --prefix "$home/.local" >/dev/null
find "$home/.local" -type f -o -type l | sort
library=$home/.local/lib/libbignum.so.1
[ "$(readelf -d "$library" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')" = libbignum.so.1 ] || fail "SONAME is not libbignum.so.1"
# Only the public API: every strong symbol is a big_* function or of
# namespace bignum (the exception classes' type information and virtual
# tables are weak, as are the standard library's template instances), and
# nothing of bignum::detail.
nm -DC --defined-only "$library" | cut -d ' ' -f 2- >"$scratch/symbols"
echo "$(wc -l <"$scratch/symbols") exported dynamic symbols"
if grep -E '^[A-TX-Z] ' "$scratch/symbols" | grep -Ev '^. (big_|bignum::)' || grep 'bignum::detail' "$scratch/symbols"; then
  fail "the shared library exports more than the public API"
fi
consumer find_package "$home/find_package"
run_block "$home" "$home/find_package" 3
# Read ldd's whole answer before matching: a grep that quits early would
# break ldd's pipe, and pipefail would call that a failure.
loaded=$(ldd "$home/find_package/build/app" | awk '$1 == "libbignum.so.1" { print $3 }')
[ -n "$loaded" ] && [ "$(realpath "$loaded")" = "$(realpath "$library")" ] ||
  fail "app loads ${loaded:-no libbignum.so.1}, not $library"
consumer "" "$home/pkg-config"
LD_LIBRARY_PATH=$home/.local/lib run_block "$home" "$home/pkg-config" 4

stage "consumers: the unit and oracle tests against the shared library"
# They call only the exported API, or they would not link.
tests_build=build/consumers-shared-tests
cmake --preset dev -B "$tests_build" -DBUILD_SHARED_LIBS=ON -DBIGNUM_BUILD_PROGRAMS=OFF >/dev/null
cmake --build "$tests_build"
ctest --test-dir "$tests_build" --output-on-failure --no-tests=error -j "$(nproc)" | tail -n 3

stage "consumers: FetchContent of this clone"
consumer fetch_content "$scratch/fetch_content"
cmake -S "$scratch/fetch_content" -B "$scratch/fetch_content/build" -G Ninja \
  -DBIGNUM_REPOSITORY="$repo" -DBIGNUM_TAG="$(git rev-parse HEAD)" >/dev/null
cmake --build "$scratch/fetch_content/build"
expect_output "$scratch/fetch_content/build/app"

stage "consumers: a library that installs and exports itself with bignum"
consumer exported_library "$scratch/mylib"
cmake -S "$scratch/mylib" -B "$scratch/mylib/build" -G Ninja >/dev/null
cmake --build "$scratch/mylib/build"
cmake --install "$scratch/mylib/build" --prefix "$scratch/mylib-prefix" >/dev/null
cmake -S "$scratch/mylib/user" -B "$scratch/mylib/user/build" -G Ninja \
  -DCMAKE_PREFIX_PATH="$scratch/mylib-prefix" >/dev/null
cmake --build "$scratch/mylib/user/build"
expect_output "$scratch/mylib/user/build/user"

stage "consumers: the .tar.gz and .deb packages"
cmake --workflow --preset package
deb=build/packages/bignum_1.0.0_amd64.deb
tgz=build/packages/bignum-1.0.0-Linux.tar.gz
dpkg -c "$deb" | tee "$scratch/deb.list"
tar -tzf "$tgz" | tee "$scratch/tgz.list"
for file in include/bignum/bignum.h include/bignum/integer.h include/bignum/export.h include/bignum/version.h \
  lib/libbignum.a lib/cmake/bignum/bignumConfig.cmake lib/cmake/bignum/bignumConfigVersion.cmake \
  lib/cmake/bignum/bignumTargets.cmake lib/pkgconfig/bignum.pc share/doc/bignum/LICENSE; do
  grep -q " \./usr/$file\$" "$scratch/deb.list" || fail "the .deb lacks /usr/$file"
  grep -q "/$file\$" "$scratch/tgz.list" || fail "the .tar.gz lacks $file"
done
# The package's tree serves a consumer where it is unpacked.
dpkg-deb -x "$deb" "$scratch/deb"
consumer find_package "$scratch/deb-consumer"
cmake -S "$scratch/deb-consumer" -B "$scratch/deb-consumer/build" -G Ninja \
  -DCMAKE_PREFIX_PATH="$scratch/deb/usr" >/dev/null
cmake --build "$scratch/deb-consumer/build"
expect_output "$scratch/deb-consumer/build/app"

echo "consumers passed"
