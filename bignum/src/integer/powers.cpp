// SPDX-License-Identifier: MIT
// Powers and roots: pow by squaring, isqrt by Newton's iteration.

#include "internals.h"

namespace bignum {

integer pow(const integer& x, std::uint64_t n)
{
    // Refused before any work when even the bits of the result cannot be
    // counted.
    const std::uint64_t bits = x.bit_length();
    if (bits > 1 && n > (std::numeric_limits<std::uint64_t>::max() - 1) / (bits - 1)) {
        throw std::length_error("bignum: a power of a " + std::to_string(bits) + "-bit number to the " +
                                std::to_string(n) + " is larger than any size");
    }
    integer r = 1;
    for (auto i = std::bit_width(n); i-- > 0;) {
        r *= r;
        if ((n >> i & 1U) != 0) {
            r *= x;
        }
    }
    return r;
}

integer isqrt(const integer& x)
{
    if (x.sign() < 0) {
        throw std::domain_error("bignum: isqrt of a negative number");
    }
    if (x.sign() == 0) {
        return {};
    }
    // Newton's iteration from above falls monotonically to the floor.
    integer y = integer(1) << (x.bit_length() + 1) / 2;
    integer next;
    for (;;) {
        next = x / y;
        next += y;
        next >>= 1;
        if (next >= y) {
            return y;
        }
        y.swap(next);
    }
}

} // namespace bignum
