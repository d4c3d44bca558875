// SPDX-License-Identifier: MIT
#include "mylib.h"

#include <bignum/integer.h>

std::string mylib_powmod(std::uint32_t base, std::uint32_t exp, std::uint32_t m)
{
    return bignum::pow_mod(base, exp, m).to_string();
}
