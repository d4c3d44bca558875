// SPDX-License-Identifier: MIT
// Cheap screens for a candidate prime.

#include "../internal.h"

#include <algorithm>
#include <array>

using namespace bignum::detail;

namespace {

constexpr std::array<unsigned char, 53> small_primes{
    3,   5,   7,   11,  13,  17,  19,  23,  29,  31,  37,  41,  43,  47,  53,  59,  61,  67,
    71,  73,  79,  83,  89,  97,  101, 103, 107, 109, 113, 127, 131, 137, 139, 149, 151, 157,
    163, 167, 173, 179, 181, 191, 193, 197, 199, 211, 223, 227, 229, 233, 239, 241, 251,
};

constexpr std::array<std::uint32_t, 4> fermat_bases{2, 3, 5, 7};

} // namespace

std::uint32_t big_small_prime_screen(const BigNum* n)
{
    const bool divisible = std::any_of(small_primes.begin(), small_primes.end(),
                                       [n](unsigned char p) { return big_div_word(n, p, nullptr) == 0; });
    return divisible ? 0 : 1;
}

std::uint32_t big_fermat_test(const BigNum* n)
{
    const Scratch exponent;
    const Scratch base;
    const Scratch power;
    big_copy(exponent, n);
    sign(exponent) = 0;
    big_dec(exponent); // |n| - 1
    for (const std::uint32_t b : fermat_bases) {
        limbs(base)[0] = b;
        big_powmod_mont(base, exponent, n, power);
        if (!is_one(power)) {
            return 0;
        }
    }
    return 1;
}
