#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Static analysis: clang-tidy (.clang-tidy) and cppcheck over the library's
# sources and the programs' services, then clang-format (.clang-format) over
# every tracked C++ file. Any finding fails the stage. The win32 sources are
# left out of the two analysers: they need the Windows headers, which only
# the MinGW build has.
set -euo pipefail
cd "$(dirname "$0")/.."
source .ci/lib.sh

build=build/static-analysis

stage "static analysis: toolchain"
need_packages cmake ninja-build clang clang-tidy clang-format cppcheck pkg-config libgtk-3-dev

mapfile -t library < <(git ls-files 'bignum/*.cpp' 'system/*.cpp' | grep -v '/win32/')
mapfile -t all_cpp < <(git ls-files '*.cpp' '*.h')

failed=()

stage "clang-tidy over ${#library[@]} library and service sources"
# The compile commands of a clang configuration with GTK; the tests are not
# analysed, so GoogleTest need not be found.
cmake --preset clang -B "$build" -DBIGNUM_BUILD_TESTS=OFF -DBIGNUM_GTK=ON >/dev/null
printf '%s\n' "${library[@]}" |
  xargs -P "$(nproc)" -n 2 clang-tidy -p "$build" --quiet --warnings-as-errors='*' 2>/dev/null ||
  failed+=(clang-tidy)

stage "cppcheck over the same sources"
cppcheck --std=c++20 --language=c++ --enable=warning,style,performance,portability \
  --inline-suppr --suppress=missingIncludeSystem --error-exitcode=1 --quiet \
  -I bignum/include -I . "${library[@]}" ||
  failed+=(cppcheck)

stage "clang-format over ${#all_cpp[@]} tracked C++ files"
clang-format --dry-run --Werror "${all_cpp[@]}" || failed+=(clang-format)

echo
if [ ${#failed[@]} -ne 0 ]; then
  echo "static analysis FAILED (${failed[*]}) in ${SECONDS}s"
  exit 1
fi
echo "static analysis passed in ${SECONDS}s"
