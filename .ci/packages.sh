#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Packages stage: the `package` preset built once with the build flags
# Debian's tools give (dpkg-buildflags), then what comes out of it: the
# .tar.gz unpacked and its programs run where they are; the Debian packages'
# contents and dependencies, lintian, hardening-check on every installed
# binary; and the packages installed with dpkg, built against without a
# prefix, and purged again.
set -euo pipefail
cd "$(dirname "$0")/.."
source .ci/lib.sh
source .ci/consumers-lib.sh

stage "packages: tools"
need_packages cmake ninja-build g++ pkg-config libgtk-3-dev dpkg-dev file lintian devscripts

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

stage "packages: the package preset with dpkg-buildflags' flags and a marker of our own"
rm -rf build/packages
# The builder's flags are appended to the preset's, as a distribution's
# package build passes them.
eval "$(dpkg-buildflags --export=sh)"
export CXXFLAGS="$CXXFLAGS -DBIGNUM_PACKAGE_BUILD_MARKER"
cmake --workflow --preset package
unset CFLAGS CPPFLAGS CXXFLAGS LDFLAGS
command=$(grep -m 1 -o '"command": "[^"]*src/integer/arithmetic.cpp"' build/package/compile_commands.json)
hardening=(-D_FORTIFY_SOURCE=2 -fstack-protector-strong -fstack-clash-protection)
[ "$(dpkg --print-architecture)" != amd64 ] || hardening+=(-fcf-protection)
for flag in -g -DBIGNUM_PACKAGE_BUILD_MARKER "${hardening[@]}"; do
  [[ " $command " == *" $flag "* ]] || fail "the package build compiles without $flag: $command"
done
[[ " $command " != *" -Werror "* ]] || fail "the package build treats warnings as errors: $command"
# The builder's optimisation level comes after the preset's, and so wins.
[[ "$command" =~ -O3.*-O2 ]] || fail "the builder's -O2 does not follow the preset's -O3: $command"
grep -q -- "-Wl,-z,relro" build/package/CMakeCache.txt || fail "the package build ignores LDFLAGS"

version=$(sed -n 's/^project(bignum VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
lib=lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)
arch=$(dpkg --print-architecture)
packages=(libbignum2 libbignum-dev rsacon rsabox)
deb_of() { echo "build/packages/$1_$version-1_$arch.deb"; }

stage "packages: the .tar.gz, unpacked, runs its programs where it is"
tar -xzf "build/packages/bignum-$version-Linux.tar.gz" -C "$scratch"
tree=$scratch/bignum-$version-Linux
(cd "$tree" && find . -type f -o -type l | sort) >"$scratch/tgz.list"
for file in include/bignum/bignum.h "$lib/libbignum.a" "$lib/libbignum.so.2" "$lib/pkgconfig/bignum.pc" \
  "$lib/pkgconfig/bignum-static.pc" share/doc/bignum/LICENSE bin/rsacon bin/rsabox; do
  grep -qx "./$file" "$scratch/tgz.list" || fail "the .tar.gz lacks $file"
done
for program in rsacon rsabox; do
  expect_loads "$tree/bin/$program" "$tree/$lib/libbignum.so.2"
done
[ "$(env -u LD_LIBRARY_PATH "$tree/bin/rsacon" </dev/null | tr -d '\r' | tail -n 1)" = "secret message." ] ||
  fail "the unpacked rsacon did not restore its message"
env -u LD_LIBRARY_PATH -u DISPLAY -u WAYLAND_DISPLAY "$tree/bin/rsabox" </dev/null >/dev/null ||
  fail "the unpacked rsabox failed"
# Its pkg-config files find the unpacked tree.
consumer "" "$scratch/tgz-app"
pkg_config_app "$scratch/tgz-app" bignum "$tree/$lib/pkgconfig"
LD_LIBRARY_PATH=$tree/$lib expect_loads "$scratch/tgz-app/app" "$tree/$lib/libbignum.so.2"

stage "packages: the Debian packages' contents and dependencies"
for package in "${packages[@]}"; do
  deb=$(deb_of "$package")
  multiarch=$(dpkg-deb -f "$deb" Multi-Arch)
  echo "$package (Multi-Arch: ${multiarch:-none}; depending on $(dpkg-deb -f "$deb" Depends)):"
  dpkg -c "$deb" | awk '{ print "    " $6 ($7 == "->" ? " -> " $8 : "") }' | tee "$scratch/$package.list"
  ! dpkg-deb --ctrl-tarfile "$deb" | tar -t | grep -E 'post(inst|rm)$' || fail "$package has maintainer scripts"
done
# Each file in its package, from a path under /usr.
expect_in() {
  local package=$1 file
  shift
  for file; do
    grep -Eq "^    \./usr/$file( -> |\$)" "$scratch/$package.list" || fail "$package lacks /usr/$file"
  done
}
expect_in libbignum2 "$lib/libbignum.so.2" "$lib/libbignum.so.$version" share/doc/libbignum2/copyright \
  share/doc/libbignum2/changelog.Debian.gz
expect_in libbignum-dev include/bignum/bignum.h include/bignum/integer.h include/bignum/export.h \
  include/bignum/version.h "$lib/libbignum.so" "$lib/libbignum.a" "$lib/cmake/bignum/bignumConfig.cmake" \
  "$lib/cmake/bignum/bignumConfigVersion.cmake" "$lib/cmake/bignum/bignum-shared-targets.cmake" \
  "$lib/cmake/bignum/bignum-static-targets.cmake" "$lib/pkgconfig/bignum.pc" "$lib/pkgconfig/bignum-static.pc" \
  share/doc/libbignum-dev/copyright
expect_in rsacon bin/rsacon share/man/man1/rsacon.1.gz share/doc/rsacon/copyright
expect_in rsabox bin/rsabox share/man/man1/rsabox.1.gz share/doc/rsabox/copyright
! grep -E '\.a$|\.so( |$)|include/' "$scratch/libbignum2.list" || fail "libbignum2 holds development files"
for package in libbignum2 libbignum-dev; do
  [ "$(dpkg-deb -f "$(deb_of $package)" Multi-Arch)" = same ] || fail "$package is not Multi-Arch: same"
done
dpkg-deb -f "$(deb_of libbignum-dev)" Depends | grep -qx "libbignum2 (= $version-1)" ||
  fail "libbignum-dev does not depend on libbignum2 of its own version"
dpkg-deb -I "$(deb_of libbignum2)" shlibs | grep -qx "libbignum 2 libbignum2 (>= $version-1)" ||
  fail "libbignum2 has no shlibs entry for libbignum.so.2"
dpkg-deb -I "$(deb_of libbignum2)" triggers | grep -qx "activate-noawait ldconfig" ||
  fail "libbignum2 does not trigger ldconfig"
! dpkg-deb -f "$(deb_of rsacon)" Depends | grep -i gtk || fail "rsacon depends on GTK"
for package in libbignum2 rsacon rsabox; do
  [ -f "build/packages/$package-dbgsym_$version-1_$arch.ddeb" ] || fail "$package has no -dbgsym package"
done

stage "packages: lintian"
# The packages are not uploaded to Debian, so they close no bug report.
status=0
lintian --pedantic --display-info --fail-on warning --suppress-tags initial-upload-closes-no-bugs \
  build/packages/*.deb build/packages/*.ddeb >"$scratch/lintian.log" 2>&1 || status=$?
grep -v '^running with root privileges' "$scratch/lintian.log" || true
[ $status = 0 ] || fail "lintian reports warnings or errors"

stage "packages: hardening-check on every installed binary"
# Two lines cannot pass here, as the README explains: the control-flow
# protection marks of Debian 12's C start files (and so of every program
# and library linked with them), and fortified functions in the library,
# which copies only blocks whose size is known at run time.
cf_marked() { readelf -n "$1" | grep -q 'x86 feature: IBT, SHSTK'; }
unpacked=$scratch/unpacked
for package in libbignum2 rsacon rsabox; do
  dpkg-deb -x "$(deb_of $package)" "$unpacked"
done
skip_cf=()
cf_marked "$(c++ -print-file-name=crti.o)" || skip_cf=(--nocfprotection)
hardening-check "${skip_cf[@]}" "$unpacked/usr/bin/rsacon" "$unpacked/usr/bin/rsabox"
hardening-check "${skip_cf[@]}" --nofortify "$unpacked/usr/$lib/libbignum.so.$version"
# Every object of the library and the programs has the marks, even where the
# linked result cannot.
if [ "$arch" = amd64 ]; then
  while IFS= read -r object; do
    cf_marked "$object" || fail "$object has no control-flow protection marks"
  done < <(find build/package -name '*.o' -path '*.dir/*')
fi

stage "packages: installed, used without a prefix, and purged"
# Purged on every way out, so that no later stage finds them.
purge() { dpkg --purge "${packages[@]}" >/dev/null; }
trap 'purge; rm -rf "$scratch"' EXIT
debs=()
for package in "${packages[@]}"; do debs+=("$(deb_of "$package")"); done
dpkg -i "${debs[@]}" >/dev/null
system_library=/usr/$lib/libbignum.so.2
consumer find_package "$scratch/system-cmake"
cmake -S "$scratch/system-cmake" -B "$scratch/system-cmake/build" -G Ninja >/dev/null
cmake --build "$scratch/system-cmake/build" >/dev/null
expect_output "$scratch/system-cmake/build/app"
expect_loads "$scratch/system-cmake/build/app" "$system_library"
# pkg-config leaves out the system's include and library directories.
expect_pkg_config() {
  local got
  got=$(pkg-config --cflags --libs "$1" | xargs)
  [ "$got" = "$2" ] || fail "pkg-config gives \"$got\" for $1, not \"$2\""
}
expect_pkg_config bignum "-lbignum"
expect_pkg_config bignum-static "-DBIGNUM_STATIC_DEFINE /usr/$lib/libbignum.a"
for name in bignum bignum-static; do
  consumer "" "$scratch/system-$name"
  pkg_config_app "$scratch/system-$name" $name
  expect_output "$scratch/system-$name/app"
done
expect_loads "$scratch/system-bignum/app" "$system_library"
expect_loads "$scratch/system-bignum-static/app" ""
[ "$(rsacon </dev/null | tr -d '\r' | tail -n 1)" = "secret message." ] || fail "the installed rsacon did not restore its message"
expect_loads /usr/bin/rsacon "$system_library"
purge
trap 'rm -rf "$scratch"' EXIT
for package in "${packages[@]}"; do
  ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' || fail "$package is still installed"
done
[ ! -e "$system_library" ] || fail "$system_library outlived its package"

echo "packages passed"
