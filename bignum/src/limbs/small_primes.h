// SPDX-License-Identifier: MIT
// The odd primes below 1024, made at compile time: the trial divisors of the
// primality test and the sieve of the prime search. Not installed.

#ifndef BIGNUM_SRC_LIMBS_SMALL_PRIMES_H
#define BIGNUM_SRC_LIMBS_SMALL_PRIMES_H

#include <array>
#include <cstddef>
#include <cstdint>

namespace bignum::limbs {

// Whether n is prime, by trial division: for small n only.
constexpr bool is_small_prime(std::uint64_t n) noexcept
{
    for (std::uint64_t d = 2; d * d <= n; ++d) {
        if (n % d == 0) {
            return false;
        }
    }
    return n >= 2;
}

inline constexpr std::uint32_t small_prime_limit = 1024;

inline constexpr std::size_t odd_small_prime_count = [] {
    std::size_t count = 0;
    for (std::uint32_t p = 3; p < small_prime_limit; p += 2) {
        count += is_small_prime(p) ? 1 : 0;
    }
    return count;
}();

// Ascending.
inline constexpr std::array<std::uint32_t, odd_small_prime_count> odd_small_primes = [] {
    std::array<std::uint32_t, odd_small_prime_count> primes{};
    std::size_t i = 0;
    for (std::uint32_t p = 3; p < small_prime_limit; p += 2) {
        if (is_small_prime(p)) {
            primes.at(i++) = p;
        }
    }
    return primes;
}();

} // namespace bignum::limbs

#endif // BIGNUM_SRC_LIMBS_SMALL_PRIMES_H
