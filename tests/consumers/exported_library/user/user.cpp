// SPDX-License-Identifier: MIT
#include <mylib.h>

#include <cstdio>

int main() { std::puts(mylib_powmod(3, 65537, 1000000007).c_str()); }
