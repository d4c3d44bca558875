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

// Sizes in 64-bit limbs on both sides of each method's threshold in
// bignum/src/limbs/products.h (schoolbook by vector columns from 16, squares
// from 24; Karatsuba 32, or 64 after columns, its square 72; Toom-3 288; the
// transform 1800), unbalanced pairs that cut the longer operand into pieces
// of the shorter one with a remainder, and all-ones operands, whose partial
// sums carry the furthest. Each pair is multiplied, and each operand squared.
TEST(IntegerMethods, ProductsAroundEachMethodsThreshold)
{
    struct row {
        unsigned long longer, shorter; // limbs
    };
    const row rows[] = {
        {15, 15},     {16, 16},     {17, 17},     // columns
        {23, 23},     {24, 24},     {25, 25},     // columns' square
        {31, 31},     {32, 32},     {33, 33},     // Karatsuba
        {63, 63},     {64, 64},     {65, 65},     // Karatsuba after columns
        {71, 71},     {72, 72},     {73, 73},     // Karatsuba's square
        {287, 287},   {288, 288},   {289, 289},   // Toom-3
        {1799, 1799}, {1800, 1800}, {1801, 1801}, // transform
        {33, 32},     {95, 32},     {100, 33},    // pieces with a remainder
        {144, 64},    {870, 289},   {1000, 300},  //
        {2500, 1800},                             //
    };
    gmp_randclass random(gmp_randinit_default);
    random.seed(20261209);
    for (const auto& [longer, shorter] : rows) {
        for (const bool all_ones : {false, true}) {
            const auto operand = [&](unsigned long limbs) {
                const unsigned long bits = 64 * limbs;
                return all_ones ? mpz_class((mpz_class(1) << bits) - 1) : random_bits(random, bits);
            };
            const mpz_class a = operand(longer);
            const mpz_class b = operand(shorter);
            const integer x = ours(a);
            const integer y = ours(b);
            SCOPED_TRACE(std::to_string(longer) + " x " + std::to_string(shorter) +
                         (all_ones ? " limbs, all ones" : " limbs"));
            EXPECT_EQ(hex(x * y), hex(mpz_class(a * b)));
            EXPECT_EQ(hex(x * x), hex(mpz_class(a * a)));
            EXPECT_EQ(hex(y * y), hex(mpz_class(b * b)));
        }
    }
}

// --- division ---------------------------------------------------------------


// --- modular exponentiation and primes ---------------------------------------


// --- gcd, inverse and symbols -------------------------------------------------


// --- text -------------------------------------------------------------------


// --- storage ----------------------------------------------------------------

