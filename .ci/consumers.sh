#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Consumers stage: the library as its users take it. The README's
# "Installing and using" commands run as written, with HOME in a scratch
# directory so that ~/.local is one too: against a static install, then with
# the shared library installed beside it, where CMake and pkg-config must
# give each kind as asked; the static library inside a user's shared
# library. Then the tests against the shared library, FetchContent of this
# clone, a library that installs and exports itself with bignum, and the
# packages: their contents, lintian, and a build against them installed with
# dpkg, which are purged again. Every consumer prints 3^65537 mod
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
  echo "$out" >"$dir/run.log"
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

# Prints what a program loads as libbignum.so.1, or nothing. ldd's whole
# answer is read before matching: a grep that quits early would break ldd's
# pipe, and pipefail would call that a failure.
loaded_bignum() {
  local loaded
  loaded=$(ldd "$1" | awk '$1 == "libbignum.so.1" { print $3 }')
  [ -z "$loaded" ] || realpath "$loaded"
}

# Builds app.cpp in directory $1 with pkg-config's flags for package $2,
# found on the search path $3 if given.
pkg_config_app() {
  local flags
  flags=$(PKG_CONFIG_PATH=${3:-} pkg-config --cflags --libs "$2")
  (cd "$1" && c++ -std=c++20 app.cpp $flags -o app)
}

# A program loads the shared library at $2, or (with $2 empty) none.
expect_loads() {
  local got
  got=$(loaded_bignum "$1")
  [ "$got" = "${2:+$(realpath "$2")}" ] || fail "$1 loads ${got:-no libbignum.so.1}, not ${2:-none}"
}

stage "consumers: packages"
need_packages cmake ninja-build g++ git pkg-config libgtest-dev libgmp-dev dpkg-dev file lintian

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

check_mirror "Using the library" 2 "$consumers/app.cpp"
check_mirror "$section" 2 "$consumers/find_package/CMakeLists.txt"
check_mirror "$section" 5 "$consumers/add_subdirectory/CMakeLists.txt"

stage "consumers: static install, then find_package, pkg-config and add_subdirectory as the README says"
home=$scratch/home
mkdir -p "$home"
(cd "$repo" && HOME=$home bash -euo pipefail -c "$(readme_block "$section" 1)")
find "$home/.local" -type f | sort
consumer find_package "$home/find_package"
run_block "$home" "$home/find_package" 3
grep -q "bignum::bignum is the static one" "$home/find_package/run.log" ||
  fail "find_package did not say that it gave the static library for want of a shared one"
consumer "" "$home/pkg-config"
run_block "$home" "$home/pkg-config" 4
consumer add_subdirectory "$home/add_subdirectory"
run_block "$home" "$home/add_subdirectory" 6

stage "consumers: the shared library installed into the same prefix, beside the static one"
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
echo "$(wc -l <"$scratch/symbols") exported dynamic symbols, $(grep -c ' big_' "$scratch/symbols") of them big_*"
if grep -E '^[A-TX-Z] ' "$scratch/symbols" | grep -Ev '^. (big_|bignum::)' || grep 'bignum::detail' "$scratch/symbols"; then
  fail "the shared library exports more than the public API"
fi
# find_package: the shared library by default, the static one when asked
# by variable or by component.
for asked in default variable component; do
  dir=$home/find_package-$asked
  consumer find_package "$dir"
  args=()
  case $asked in
  variable) args=(-DBIGNUM_SHARED_LIBS=OFF) ;;
  component) sed -i 's/REQUIRED)/REQUIRED COMPONENTS static)/' "$dir/CMakeLists.txt" ;;
  esac
  cmake -S "$dir" -B "$dir/build" -G Ninja -DCMAKE_PREFIX_PATH="$home/.local" "${args[@]}" >/dev/null
  cmake --build "$dir/build" >/dev/null
  expect_output "$dir/build/app"
  if [ $asked = default ]; then
    expect_loads "$dir/build/app" "$library"
  else
    expect_loads "$dir/build/app" ""
  fi
done
# pkg-config: bignum is the shared library, bignum-static the static one.
for name in bignum bignum-static; do
  dir=$home/pkg-config-$name
  consumer "" "$dir"
  pkg_config_app "$dir" $name "$home/.local/lib/pkgconfig"
  LD_LIBRARY_PATH=$home/.local/lib expect_output "$dir/app"
  if [ $name = bignum ]; then
    LD_LIBRARY_PATH=$home/.local/lib expect_loads "$dir/app" "$library"
  else
    expect_loads "$dir/app" ""
  fi
done

stage "consumers: the static library inside a user's shared library"
dir=$scratch/inside
cp -r "$consumers/exported_library/." "$dir"
c++ -std=c++20 -shared -fPIC -I"$dir" "$dir/mylib.cpp" \
  $(PKG_CONFIG_PATH=$home/.local/lib/pkgconfig pkg-config --cflags --libs bignum-static) -o "$dir/libmylib.so"
c++ -std=c++20 -I"$dir" "$dir/user/user.cpp" -L"$dir" -lmylib -Wl,-rpath,"$dir" -o "$dir/app"
expect_output "$dir/app"
expect_loads "$dir/app" ""
# The library's own code stays hidden inside: the user's library does not
# offer bignum (its weak symbols are the header's inline functions, compiled
# in the user's code).
! nm -DC --defined-only "$dir/libmylib.so" | grep -E '^[0-9a-f]+ T (big_|bignum::)' ||
  fail "libmylib.so exports bignum's symbols"

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

stage "consumers: the .tar.gz and the Debian packages"
rm -rf build/packages
cmake --workflow --preset package
version=$(sed -n 's/^project(bignum VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
lib=lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)
packages=(libbignum1 libbignum-dev bignum-demos)
deb_of() { echo "build/packages/$1_$version-1_$(dpkg --print-architecture).deb"; }
debs=()
for package in "${packages[@]}"; do
  debs+=("$(deb_of "$package")")
  echo "$package, depending on $(dpkg-deb -f "$(deb_of "$package")" Depends):"
  dpkg -c "$(deb_of "$package")" | awk '{ print "    " $6 ($7 == "->" ? " -> " $8 : "") }' | tee "$scratch/$package.list"
done
# Each file in its package, from a path under /usr.
expect_in() {
  local package=$1 file
  shift
  for file; do
    grep -Eq "^    \./usr/$file( -> |\$)" "$scratch/$package.list" || fail "$package lacks /usr/$file"
  done
}
expect_in libbignum1 "$lib/libbignum.so.1" "$lib/libbignum.so.$version" share/doc/libbignum1/copyright \
  share/doc/libbignum1/changelog.Debian.gz
expect_in libbignum-dev include/bignum/bignum.h include/bignum/integer.h include/bignum/export.h \
  include/bignum/version.h "$lib/libbignum.so" "$lib/libbignum.a" "$lib/cmake/bignum/bignumConfig.cmake" \
  "$lib/cmake/bignum/bignumConfigVersion.cmake" "$lib/cmake/bignum/bignum-shared-targets.cmake" \
  "$lib/cmake/bignum/bignum-static-targets.cmake" "$lib/pkgconfig/bignum.pc" "$lib/pkgconfig/bignum-static.pc" \
  share/doc/libbignum-dev/copyright
expect_in bignum-demos bin/rsacon bin/rsabox share/man/man1/rsacon.1.gz share/man/man1/rsabox.1.gz
! grep -E '\.a$|\.so( |$)|include/' "$scratch/libbignum1.list" || fail "libbignum1 holds development files"
dpkg-deb -f "$(deb_of libbignum-dev)" Depends | grep -qx "libbignum1 (= $version-1)" ||
  fail "libbignum-dev does not depend on libbignum1 of its own version"
dpkg-deb -I "$(deb_of libbignum1)" shlibs | grep -qx "libbignum 1 libbignum1 (>= $version-1)" ||
  fail "libbignum1 has no shlibs entry for libbignum.so.1"
tar -tzf "build/packages/bignum-$version-Linux.tar.gz" >"$scratch/tgz.list"
for file in include/bignum/bignum.h "$lib/libbignum.a" "$lib/libbignum.so.1" "$lib/pkgconfig/bignum-static.pc" \
  share/doc/bignum/LICENSE; do
  grep -q "/$file\$" "$scratch/tgz.list" || fail "the .tar.gz lacks $file"
done
lintian --display-info "${debs[@]}" 2>&1 | tee "$scratch/lintian.log" || true
! grep '^E:' "$scratch/lintian.log" >/dev/null || fail "lintian reports errors"

stage "consumers: the Debian packages installed, used without a prefix, and purged"
# Purged on every way out, so that no later stage finds them.
purge() { dpkg --purge "${packages[@]}" >/dev/null; }
trap 'purge; rm -rf "$scratch"' EXIT
dpkg -i "${debs[@]}" >/dev/null
system_library=/usr/$lib/libbignum.so.1
consumer find_package "$scratch/system-cmake"
cmake -S "$scratch/system-cmake" -B "$scratch/system-cmake/build" -G Ninja >/dev/null
cmake --build "$scratch/system-cmake/build" >/dev/null
expect_output "$scratch/system-cmake/build/app"
expect_loads "$scratch/system-cmake/build/app" "$system_library"
for name in bignum bignum-static; do
  consumer "" "$scratch/system-$name"
  pkg_config_app "$scratch/system-$name" $name
  expect_output "$scratch/system-$name/app"
done
expect_loads "$scratch/system-bignum/app" "$system_library"
expect_loads "$scratch/system-bignum-static/app" ""
[ "$(rsacon </dev/null | tr -d '\r' | tail -n 1)" = "secret message." ] || fail "the installed rsacon did not restore its message"
purge
trap 'rm -rf "$scratch"' EXIT
for package in "${packages[@]}"; do
  ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' || fail "$package is still installed"
done
[ ! -e "$system_library" ] || fail "$system_library outlived its package"

echo "consumers passed"
