// SPDX-License-Identifier: MIT
// The value type's methods beside mpz_class at the sizes where they break:
// each method's thresholds, its rare steps and its worst operands, one table
// per method.

#include <bignum/integer.h>
#include <gmpxx.h>

#include <gtest/gtest.h>

#include <functional>
#include <new>
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
// bignum/src/limbs/products.h (Karatsuba 32, its square 72, Toom-3 288, the
// transform 2500), unbalanced pairs that cut the longer operand into pieces
// of the shorter one with a remainder, and all-ones operands, whose partial
// sums carry the furthest. Each pair is multiplied, and each operand squared.
TEST(IntegerMethods, ProductsAroundEachMethodsThreshold)
{
    struct row {
        unsigned long longer, shorter; // limbs
    };
    const row rows[] = {
        {31, 31},     {32, 32},     {33, 33},     {71, 71}, {72, 72},  {73, 73}, {287, 287}, {288, 288},  {289, 289},
        {2499, 2499}, {2500, 2500}, {2501, 2501}, {33, 32}, {100, 33}, {95, 32}, {870, 289}, {1000, 300}, {3300, 2500},
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

// Around the inline limbs' edge (64 bits) and the next ones, growing and
// shrinking in place, with the destination among the operands.
TEST(IntegerStorage, CompoundAssignmentsCrossTheInlineEdgeBothWays)
{
    using I = integer&;
    using M = mpz_class&;
    struct Row {
        const char* op;
        std::function<void(I)> ours;
        std::function<void(M)> gmp;
    };
    const mpz_class two_64 = mpz_class(1) << 64;
    // clang-format off
    const Row rows[] = {
        {"+= 1", [](I x) { x += 1; }, [](M x) { x += 1; }},
        {"-= 1", [](I x) { x -= 1; }, [](M x) { x -= 1; }},
        {"-= 2^64", [](I x) { x -= integer(1) << 64; }, [&](M x) { x -= two_64; }},
        {"+= x", [](I x) { x += x; }, [](M x) { x += x; }},
        {"-= x", [](I x) { x -= x; }, [](M x) { x -= x; }},
        {"*= x", [](I x) { x *= x; }, [](M x) { x *= x; }},
        {"*= -3", [](I x) { x *= -3; }, [](M x) { x *= -3; }},
        {"*= 2^64", [](I x) { x *= integer(1) << 64; }, [&](M x) { x *= two_64; }},
        {"<<= 1", [](I x) { x <<= 1; }, [](M x) { x <<= 1; }},
        {"<<= 64", [](I x) { x <<= 64; }, [](M x) { x <<= 64; }},
        {">>= 1", [](I x) { x >>= 1; }, [](M x) { mpz_fdiv_q_2exp(x.get_mpz_t(), x.get_mpz_t(), 1); }},
        {">>= 64", [](I x) { x >>= 64; }, [](M x) { mpz_fdiv_q_2exp(x.get_mpz_t(), x.get_mpz_t(), 64); }},
        {"/= 2^64", [](I x) { x /= integer(1) << 64; }, [&](M x) { x /= two_64; }},
        {"%= 2^64 + 1", [](I x) { x %= (integer(1) << 64) + 1; }, [&](M x) { x %= two_64 + 1; }},
        {"= x / x", [](I x) { if (x) { x = x / x; } }, [](M x) { if (x != 0) { x = 1; } }},
        {"&= x >> 1", [](I x) { x &= x >> 1; }, [](M x) { x &= x / 2 - (x < 0 && x % 2 != 0 ? 1 : 0); }},
        {"|= 2^64", [](I x) { x |= integer(1) << 64; }, [&](M x) { x |= two_64; }},
        {"++", [](I x) { ++x; }, [](M x) { ++x; }},
        {"--", [](I x) { --x; }, [](M x) { --x; }},
    };
    // clang-format on
    std::vector<mpz_class> starts;
    for (const unsigned bits : {32U, 63U, 64U, 65U, 127U, 128U, 129U}) {
        for (const int offset : {-1, 0, 1}) {
            const mpz_class edge = (mpz_class(1) << bits) + offset;
            starts.push_back(edge);
            starts.push_back(-edge);
        }
    }
    for (const mpz_class& start : starts) {
        for (const Row& row : rows) {
            integer x = ours(start);
            mpz_class z = start;
            // Twice, so that the second step starts from the first's storage.
            for (int step = 0; step < 2; ++step) {
                row.ours(x);
                row.gmp(z);
                EXPECT_EQ(hex(x), hex(z)) << hex(start) << ' ' << row.op << " step " << step;
                EXPECT_EQ(x.bit_length(), z == 0 ? 0 : mpz_sizeinbase(z.get_mpz_t(), 2)) << hex(start) << ' ' << row.op;
            }
        }
    }
}

TEST(IntegerStorage, AMovedFromHeapValueIsZeroAndTakesNewValues)
{
    integer a = integer(1) << 300;
    const integer b = std::move(a);
    EXPECT_TRUE(a == 0 && a.sign() == 0 &&
                a.bit_length() == 0); // NOLINT(bugprone-use-after-move,clang-analyzer-cplusplus.Move)
    a += b;
    EXPECT_EQ(a, b);
}

// Memory refused for a result leaves every operand and the destination as
// they were. (AddressSanitizer reports such a request instead of refusing
// it, so there the check is skipped.)
TEST(IntegerStorage, MemoryRefusedLeavesOperandsUnchanged)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer aborts on an impossible allocation";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    GTEST_SKIP() << "AddressSanitizer aborts on an impossible allocation";
#endif
#endif
    // Some 2^46 limbs: a size that can be counted but not allocated.
    constexpr std::uint64_t huge = std::uint64_t{1} << 52;
    const integer x = (integer(1) << 100) + 3;
    integer y = -5;
    EXPECT_THROW(y = x << huge, std::bad_alloc);
    EXPECT_EQ(y, -5);
    integer z = x;
    EXPECT_THROW(z <<= huge, std::bad_alloc);
    EXPECT_EQ(z, x);
    EXPECT_EQ(hex(x), "10000000000000000000000003");
}
