#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Consumers stage: the library as its users take it. The README's
# "Installing and using" commands run as written, with HOME in a scratch
# directory so that ~/.local is one too: against a static install, then with
# the shared library installed beside it, where CMake and pkg-config must
# give each kind as asked; pkg-config where the library or include directory
# is absolute; the static library inside a user's shared library. Then the
# tests against the shared library, FetchContent of this clone, and
# a library that installs and exports itself with bignum. Every consumer
# prints 3^65537 mod 1000000007. The packages are packages.sh's.
set -euo pipefail
cd "$(dirname "$0")/.."
source .ci/lib.sh
source .ci/consumers-lib.sh
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

stage "consumers: tools"
need_packages cmake ninja-build g++ git pkg-config libgtest-dev libgmp-dev

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
# A static install has bignum.pc too, for its static library.
consumer "" "$home/pkg-config-static-install"
pkg_config_app "$home/pkg-config-static-install" bignum "$home/.local/lib/pkgconfig"
expect_output "$home/pkg-config-static-install/app"
expect_loads "$home/pkg-config-static-install/app" ""
consumer add_subdirectory "$home/add_subdirectory"
run_block "$home" "$home/add_subdirectory" 6

stage "consumers: the shared library installed into the same prefix, beside the static one"
shared_build=build/consumers-shared
# The install directories as the preset gives them: the stage below sets
# them otherwise in this build.
cmake --preset release -B "$shared_build" -DBUILD_SHARED_LIBS=ON -U 'CMAKE_INSTALL_*DIR' >/dev/null
cmake --build "$shared_build" --target bignum
cmake --install "$shared_build" --prefix "$home/.local" >/dev/null
# The static library installed again after the shared one leaves bignum.pc
# to the shared library.
cmake --install build/release --prefix "$home/.local" >/dev/null
find "$home/.local" -type f -o -type l | sort
library=$home/.local/lib/libbignum.so.2
[ "$(readelf -d "$library" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')" = libbignum.so.2 ] || fail "SONAME is not libbignum.so.2"
# Only the public API: every strong symbol is a big_* function or of
# namespace bignum (the exception classes' type information and virtual
# tables are weak, as are the standard library's template instances), and
# no function of bignum::detail (the value type's members may take its
# operand view, which the inline operators build).
nm -DC --defined-only "$library" | cut -d ' ' -f 2- >"$scratch/symbols"
echo "$(wc -l <"$scratch/symbols") exported dynamic symbols, $(grep -c ' big_' "$scratch/symbols") of them big_*"
if grep -E '^[A-TX-Z] ' "$scratch/symbols" | grep -Ev '^. (big_|bignum::)' || grep -E '^. bignum::detail::' "$scratch/symbols"; then
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

stage "consumers: pkg-config with an absolute library or include directory"
# The shared build again, each time with one directory outside its prefix.
for dir in LIBDIR INCLUDEDIR; do
  root=$scratch/absolute-$dir
  cmake "$shared_build" -U 'CMAKE_INSTALL_*DIR' -DCMAKE_INSTALL_PREFIX="$root/prefix" \
    -DCMAKE_INSTALL_$dir="$root/elsewhere" >/dev/null
  cmake --install "$shared_build" >/dev/null
  libdir=$root/prefix/lib
  [ $dir = INCLUDEDIR ] || libdir=$root/elsewhere
  echo "+ CMAKE_INSTALL_$dir=$root/elsewhere: $(PKG_CONFIG_PATH=$libdir/pkgconfig pkg-config --cflags --libs bignum)"
  consumer "" "$root/app"
  pkg_config_app "$root/app" bignum "$libdir/pkgconfig"
  LD_LIBRARY_PATH=$libdir expect_output "$root/app/app"
  LD_LIBRARY_PATH=$libdir expect_loads "$root/app/app" "$libdir/libbignum.so.2"
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

echo "consumers passed"
