// SPDX-License-Identifier: MIT
// The value type's methods beside mpz_class at the sizes where they break:
// each method's thresholds, its rare steps and its worst operands, one table
// per method.

#include <bignum/integer.h>
#include <gmpxx.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using bignum::integer;

namespace {

// The same value on both sides, from GMP's hexadecimal text.
[[maybe_unused]] integer ours(const mpz_class& x) { return integer::parse(x.get_str(16), 16); }
[[maybe_unused]] std::string hex(const integer& x) { return x.to_string(16); }
[[maybe_unused]] std::string hex(const mpz_class& x) { return x.get_str(-16); }

// A random value of exactly `bits` bits (bits >= 1), from a fixed seed.
[[maybe_unused]] mpz_class random_bits(gmp_randclass& random, unsigned long bits)
{
    mpz_class x = random.get_z_bits(bits);
    mpz_setbit(x.get_mpz_t(), bits - 1);
    return x;
}

} // namespace

// --- products ---------------------------------------------------------------


// --- division ---------------------------------------------------------------


// --- modular exponentiation and primes ---------------------------------------

// Odd moduli (Montgomery) of one limb and of many, powers of two, and 2^k
// times an odd number (two powers joined by the remainder theorem), against
// exponents 0 and 1 and long runs of ones and zeros; and bit lengths on each
// side of every change of window width.
TEST(IntegerMethods, PowModAgreesWithGmpAcrossModulusAndExponentShapes)
{
    gmp_randclass random(gmp_randinit_default);
    random.seed(2026);
    const auto ones = [](unsigned long n) { return mpz_class((mpz_class(1) << n) - 1); };
    const auto odd = [&](unsigned long bits) { return mpz_class(random_bits(random, bits) | 1); };
    struct Row {
        mpz_class modulus;
        mpz_class exponent;
    };
    std::vector<Row> rows;
    // clang-format off
    const std::vector<mpz_class> moduli{3, odd(32), odd(64), ones(64), odd(65), odd(512), ones(1279), odd(1300),
                                        2, mpz_class(1) << 64, mpz_class(1) << 1000, odd(64) << 1,
                                        mpz_class(3) << 700, odd(600) << 64, odd(64) << 600, odd(700) << 555};
    // clang-format on
    const std::vector<mpz_class> exponents{0, 1, ones(150) << 250 | ones(100)};
    for (const mpz_class& m : moduli) {
        for (const mpz_class& e : exponents) {
            rows.push_back({m, e});
        }
    }
    for (const unsigned long bits : {7, 8, 24, 25, 80, 81, 240, 241, 672, 673, 1792, 1793}) {
        rows.push_back({odd(130), random_bits(random, bits)});
        rows.push_back({odd(70) << 60, random_bits(random, bits)});
    }
    for (const Row& row : rows) {
        const mpz_class& m = row.modulus;
        const std::vector<mpz_class> bases{m - 1, random.get_z_range(m) | 1};
        for (const mpz_class& b : bases) {
            mpz_class expected;
            mpz_powm(expected.get_mpz_t(), b.get_mpz_t(), row.exponent.get_mpz_t(), m.get_mpz_t());
            EXPECT_EQ(hex(pow_mod(ours(b), ours(row.exponent), ours(m))), hex(expected))
                << hex(b) << " ^ " << hex(row.exponent) << " mod " << hex(m);
        }
    }
}

// Composites that fool weaker tests, each at every rounds count: strong
// pseudoprimes to every prime base up to 37 (and 41), Carmichael numbers,
// strong Lucas pseudoprimes (base 2 catches them), squares of primes (no
// Lucas parameter exists; those of 1093 and 3511 pass base 2), Mersenne
// composites; and primes beside them.
TEST(IntegerMethods, ProbablePrimeAgreesWithGmpAtEveryRoundsCount)
{
    const auto power = [](unsigned long n) { return mpz_class(mpz_class(1) << n); };
    const auto square = [](const mpz_class& p) { return mpz_class(p * p); };
    const auto next_prime = [](const mpz_class& from) {
        mpz_class p;
        mpz_nextprime(p.get_mpz_t(), from.get_mpz_t());
        return p;
    };
    // clang-format off
    const mpz_class numbers[] = {
        mpz_class("318665857834031151167461"), mpz_class("3317044064679887385961981"),
        mpz_class("3825123056546413051"), mpz_class("341550071728321"), mpz_class("1373653"),
        561, 29341, mpz_class("9746347772161"), mpz_class("1436697831295441"),
        5459, 5777, 10877, 16109, 18971,
        square(1093), square(3511), square(1009), square(65537), square(power(61) - 1), square(next_prime(power(64))),
        power(61) - 1, power(67) - 1, power(89) - 1, power(127) - 1, power(521) - 1, power(523) - 1,
        next_prime(power(64)), next_prime(next_prime(power(64))), power(64) + 1, power(64) - 59, 1048573, 1048583,
        next_prime(power(600)), next_prime(power(600)) * next_prime(power(600) + power(300)),
    };
    // clang-format on
    for (const mpz_class& x : numbers) {
        // Every count for the small ones; past 24 the pseudo-random rounds begin.
        const bool small = mpz_sizeinbase(x.get_mpz_t(), 2) <= 130;
        for (int rounds = small ? 1 : 24; rounds <= 26; ++rounds) {
            EXPECT_EQ(bignum::is_probable_prime(ours(x), rounds), mpz_probab_prime_p(x.get_mpz_t(), rounds) != 0)
                << x.get_str() << " with " << rounds << " rounds";
        }
    }
}

// --- gcd, inverse and symbols -------------------------------------------------


// --- text -------------------------------------------------------------------


// --- storage ----------------------------------------------------------------

