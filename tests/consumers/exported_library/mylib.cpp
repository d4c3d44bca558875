// SPDX-License-Identifier: MIT
#include "mylib.h"

#include <bignum/bignum.h>

std::uint32_t mylib_powmod(std::uint32_t base, std::uint32_t exp, std::uint32_t m)
{
    const big_scoped b(base);
    const big_scoped e(exp);
    const big_scoped n(m);
    const big_scoped r;
    big_powmod(b, e, n, r);
    return big_limbs(r)[0];
}
