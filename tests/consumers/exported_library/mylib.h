// SPDX-License-Identifier: MIT
#ifndef MYLIB_H
#define MYLIB_H

#include <cstdint>
#include <string>

// base^exp mod m in decimal, through bignum's value type.
std::string mylib_powmod(std::uint32_t base, std::uint32_t exp, std::uint32_t m);

#endif // MYLIB_H
