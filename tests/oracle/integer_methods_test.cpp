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


// --- gcd, inverse and symbols -------------------------------------------------

namespace {

mpz_class fibonacci(unsigned long n)
{
    mpz_class f;
    mpz_fib_ui(f.get_mpz_t(), n);
    return f;
}

struct pair_row {
    const char* label;
    mpz_class a;
    mpz_class b;
};

// Where a gcd goes wrong: Fibonacci neighbours, whose quotients are all 1
// (Euclid's longest run); a common factor across each size where the
// reduction changes hands (one word, two words, the top two of a longer
// pair); values a first step reduces to zero; long divisions between
// operands of very different sizes.
std::vector<pair_row> gcd_rows()
{
    gmp_randclass random(gmp_randinit_default);
    random.seed(7);
    const mpz_class x = random_bits(random, 2000);
    const mpz_class odd = random_bits(random, 1500) | 1;
    const mpz_class g = random_bits(random, 64);
    std::vector<pair_row> rows{
        {"F(93), F(94): one word", fibonacci(93), fibonacci(94)},
        {"F(186), F(187): two words", fibonacci(186), fibonacci(187)},
        {"F(500), F(501)", fibonacci(500), fibonacci(501)},
        {"F(1480), F(1481): 1024 bits", fibonacci(1480), fibonacci(1481)},
        {"equal", x, x},
        {"a multiple", x * odd, x},
        {"powers of two times odd", odd << 300, x << 77},
        {"powers of two", mpz_class(1) << 4000, mpz_class(3) << 1234},
        {"4000 bits and one word", x * odd + 1, g},
        {"4000 bits and two words", x * odd, g * g + 1},
        {"zero", 0, x},
        {"negative", -x, -odd},
    };
    for (const unsigned long bits : {1UL, 32UL, 63UL, 64UL, 65UL, 128UL, 129UL, 192UL, 1000UL}) {
        rows.push_back({"common factor", g * random_bits(random, bits), g * random_bits(random, bits + 1)});
    }
    return rows;
}

} // namespace

TEST(IntegerMethods, GcdAndLcm)
{
    for (const pair_row& row : gcd_rows()) {
        const integer a = ours(row.a);
        const integer b = ours(row.b);
        EXPECT_EQ(hex(gcd(a, b)), hex(mpz_class(gcd(row.a, row.b)))) << row.label;
        if (mpz_sizeinbase(row.a.get_mpz_t(), 2) + mpz_sizeinbase(row.b.get_mpz_t(), 2) <= bignum::capacity_bits()) {
            EXPECT_EQ(hex(lcm(a, b)), hex(mpz_class(lcm(row.a, row.b)))) << row.label;
        }
    }
}

// Inverses at the ends of the range, with none, of the gcd's worst pair,
// and modulo a power of two.
TEST(IntegerMethods, InverseModulo)
{
    gmp_randclass random(gmp_randinit_default);
    random.seed(11);
    const mpz_class m = random_bits(random, 4000) | 1;
    const mpz_class g = random_bits(random, 100);
    const std::vector<pair_row> rows{
        {"1", 1, m},
        {"m - 1", m - 1, m},
        {"negative and past m", -(m * 3 + 5), m},
        {"negative modulus", 3, -m},
        {"Fibonacci neighbours", fibonacci(1480), fibonacci(1481)},
        {"modulo a power of two", random_bits(random, 3000) | 1, mpz_class(1) << 4000},
        {"one word", 0xfedcba987654321, 0xffffffffffffffc5},
        {"none: a common factor", g * 3, g * random_bits(random, 2000)},
        {"none: zero", 0, m},
        {"none: even modulo a power of two", 6, mpz_class(1) << 100},
    };
    for (const pair_row& row : rows) {
        mpz_class expected;
        if (mpz_invert(expected.get_mpz_t(), row.a.get_mpz_t(), row.b.get_mpz_t()) != 0) {
            EXPECT_EQ(hex(inv_mod(ours(row.a), ours(row.b))), hex(expected)) << row.label;
        } else {
            EXPECT_THROW((void)inv_mod(ours(row.a), ours(row.b)), big_division_by_zero) << row.label;
        }
    }
}


// --- text -------------------------------------------------------------------


// --- storage ----------------------------------------------------------------

