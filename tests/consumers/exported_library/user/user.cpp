// SPDX-License-Identifier: MIT
#include <mylib.h>

#include <cstdio>

int main() { std::printf("%u\n", static_cast<unsigned>(mylib_powmod(3, 65537, 1000000007))); }
