// SPDX-License-Identifier: MIT
#ifndef MYLIB_H
#define MYLIB_H

#include <cstdint>

// base^exp mod m, through bignum.
std::uint32_t mylib_powmod(std::uint32_t base, std::uint32_t exp, std::uint32_t m);

#endif // MYLIB_H
