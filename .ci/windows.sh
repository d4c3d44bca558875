#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Windows stage: the library, its tests and both programs cross-built with
# MinGW-w64 for x64 and i386, warnings as errors, and for x64 once more with
# the library as a DLL. The x64 builds run under Wine: the unit tests, and
# for the static build rsacon against the Linux build's output and the end
# of a process whose library error nobody caught. This machine cannot run
# 32-bit code, so the i386 build is compiled and linked only.
set -euo pipefail
cd "$(dirname "$0")/.."
source .ci/lib.sh

x64=build/mingw-x64
x64_shared=build/mingw-x64-shared
i686=build/mingw-i686
linux=build/release

run_x64() { cmake/wine64-run "$PWD/$x64/wine" "$@"; }

# Each .exe and .dll runs alone: it imports the system's DLLs (and perhaps
# libbignum.dll), none of MinGW's (libstdc++-6.dll, libgcc_s_*.dll,
# libwinpthread-1.dll).
check_standalone() {
  local objdump=$1 exe
  shift
  for exe in "$@"; do
    if "$objdump" -p "$exe" | grep -i "DLL Name: lib" | grep -v "DLL Name: libbignum.dll$"; then
      fail "$exe needs MinGW's runtime DLLs"
    fi
  done
}

# The DLL comes with its import library and exports the public API only.
check_dll() {
  local objdump=$1 dir=$2 exports
  [ -f "$dir"/bignum/libbignum.dll.a ] || fail "no import library beside libbignum.dll"
  check_standalone "$objdump" "$dir"/bin/*.dll "$dir"/bin/*.exe
  exports=$("$objdump" -p "$dir"/bin/libbignum.dll | sed -n '/^\[Ordinal\/Name Pointer\] Table$/,/^$/p' | grep '^\s*\[ *[0-9]')
  echo "libbignum.dll exports $(echo "$exports" | wc -l) symbols"
  # No function of bignum::detail; the value type's members may take its
  # operand view.
  if echo "$exports" | grep -Ev '[0-9]big(_|num)' || echo "$exports" | grep -E '\] _ZNK?6bignum6detail'; then
    fail "libbignum.dll exports more than the public API"
  fi
}

# "Windows CUI" for a console program, "Windows GUI" for one without a console.
subsystem() { "$1" -p "$2" | sed -n 's/^Subsystem.*(\(.*\))$/\1/p'; }

check_programs() {
  local objdump=$1 dir=$2
  check_standalone "$objdump" "$dir"/rsacon/rsacon.exe "$dir"/rsabox/rsabox.exe "$dir"/tests/*.exe
  [ "$(subsystem "$objdump" "$dir"/rsacon/rsacon.exe)" = "Windows CUI" ] || fail "rsacon.exe is not a console program"
  [ "$(subsystem "$objdump" "$dir"/rsabox/rsabox.exe)" = "Windows GUI" ] || fail "rsabox.exe would open a console"
}

# Runs a program under Wine with no input and checks its exit status and the
# exception that Wine reports as unhandled.
expect_unhandled() {
  local status=$1 exception=$2 got=0
  shift 2
  run_x64 "$@" </dev/null >/dev/null 2>"$x64/unhandled.err" || got=$?
  cat "$x64/unhandled.err"
  [ "$got" -eq "$status" ] || fail "$* ended with status $got, not $status"
  grep -q "Unhandled $exception" "$x64/unhandled.err" || fail "$* did not end by an unhandled $exception"
}

stage "Windows: cross compilers and Wine"
need_packages cmake ninja-build g++ googletest python3 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine64

stage "Windows x64: build, unit tests under Wine"
cmake --workflow --preset mingw-x64
check_programs x86_64-w64-mingw32-objdump "$x64"

stage "Windows x64, shared: libbignum.dll, its import library, unit tests under Wine"
cmake --workflow --preset mingw-x64-shared
check_dll x86_64-w64-mingw32-objdump "$x64_shared"

stage "Windows i386: build only"
cmake --workflow --preset mingw-i686
check_programs i686-w64-mingw32-objdump "$i686"

stage "Windows x64: rsacon under Wine writes what the Linux build writes"
cmake --preset release >/dev/null
cmake --build --preset release --target rsacon
"$linux"/rsacon/rsacon </dev/null >"$linux/rsacon.out"
run_x64 "$x64"/rsacon/rsacon.exe </dev/null >"$x64/rsacon.out"
cat "$x64/rsacon.out"
cmp "$x64/rsacon.out" "$linux/rsacon.out" || fail "rsacon.exe and the Linux rsacon differ"
if [ "$(wc -l <"$x64/rsacon.out")" -ne 9 ] || [ "$(grep -c $'\r$' "$x64/rsacon.out")" -ne 9 ]; then
  fail "rsacon.exe did not write nine CR LF lines"
fi

stage "Windows x64: an escaping library error ends the process through RaiseException"
# Wine exits with the low byte of the exception code: 0x0BADC0DE, 0xC0000094.
expect_unhandled 222 "exception 0x0badc0de" "$x64"/tests/windows/windows_unhandled_error.exe
expect_unhandled 148 "division by zero" "$x64"/tests/windows/windows_unhandled_error.exe divide

# The prefix's server would linger a few seconds more.
WINEPREFIX="$PWD/$x64/wine" /usr/lib/wine/wineserver64 -k 2>/dev/null || true
