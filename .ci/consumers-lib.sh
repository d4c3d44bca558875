# SPDX-License-Identifier: MIT
# shellcheck shell=bash
# Shared by consumers.sh and packages.sh: sourced, not run. Every consumer
# builds tests/consumers/app.cpp, which prints 3^65537 mod 1000000007.
repo=$PWD
consumers=$repo/tests/consumers
expected=754428556

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

# Prints what a program loads as libbignum.so.2, or nothing. ldd's whole
# answer is read before matching: a grep that quits early would break ldd's
# pipe, and pipefail would call that a failure.
loaded_bignum() {
  local loaded
  loaded=$(ldd "$1" | awk '$1 == "libbignum.so.2" { print $3 }')
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
  [ "$got" = "${2:+$(realpath "$2")}" ] || fail "$1 loads ${got:-no libbignum.so.2}, not ${2:-none}"
}
