// SPDX-License-Identifier: MIT
// Factoring by Pollard's rho in Brent's form: small primes by trial
// division (walking them with next_prime), then x -> x^2 + c mod n from
// random starts until a gcd splits n, each part again until all are prime.

#include <bignum/integer.h>

#include <algorithm>
#include <cstdint>
#include <iostream>
#include <random>
#include <vector>

namespace {

using bignum::integer;

// Products of |x - y| over this many steps share one gcd.
constexpr std::uint64_t batch = 64;

// A factor of the odd composite n other than 1 and n. Brent's cycle
// search: y runs ahead through windows of doubling length while x stays at
// each window's start; a batch whose gcd overshoots to n is walked again
// one step at a time, and a walk whose first common factor is n itself
// starts anew.
integer rho_factor(const integer& n, std::mt19937_64& gen)
{
    for (;;) {
        const integer c = bignum::random_below(gen, n - 1) + 1;
        const auto step = [&](const integer& v) { return (v * v + c) % n; };
        integer y = bignum::random_below(gen, n);
        integer x;
        integer batch_start;
        integer g = 1;
        for (std::uint64_t length = 1; g == 1; length *= 2) {
            x = y;
            for (std::uint64_t i = 0; i < length; ++i) {
                y = step(y);
            }
            for (std::uint64_t done = 0; done < length && g == 1; done += batch) {
                batch_start = y;
                integer product = 1;
                for (std::uint64_t i = 0; i < std::min(batch, length - done); ++i) {
                    y = step(y);
                    product = product * abs(x - y) % n;
                }
                g = gcd(product, n);
            }
        }
        if (g == n) {
            // Some step of the batch shares a factor with n: the first one.
            do {
                batch_start = step(batch_start);
                g = gcd(abs(x - batch_start), n);
            } while (g == 1);
        }
        if (g != 1 && g != n) {
            return g;
        }
    }
}

void collect_factors(const integer& n, std::mt19937_64& gen, std::vector<integer>& primes)
{
    if (n == 1) {
        return;
    }
    if (is_probable_prime(n)) {
        primes.push_back(n);
        return;
    }
    const integer d = rho_factor(n, gen);
    collect_factors(d, gen, primes);
    collect_factors(n / d, gen, primes);
}

// The prime factors of n > 0, smallest first, with multiplicity.
std::vector<integer> factorize(integer n, std::mt19937_64& gen)
{
    std::vector<integer> primes;
    for (integer p = 2; p < 100; p = next_prime(p)) {
        while (n % p == 0) {
            primes.push_back(p);
            n /= p;
        }
    }
    collect_factors(n, gen, primes);
    std::ranges::sort(primes);
    return primes;
}

} // namespace

int main()
{
    std::mt19937_64 gen(2026);
    const integer p = next_prime(integer(1) << 32);
    const integer q = next_prime(integer(3) << 31);
    for (const integer& n :
         {(integer(1) << 64) + 1, integer(600851475143), bignum::factorial(20) + 1, pow(p, 2) * q * 360}) {
        std::cout << n << " =";
        const char* separator = " ";
        for (const integer& factor : factorize(n, gen)) {
            std::cout << separator << factor;
            separator = " * ";
        }
        std::cout << '\n';
    }
}
