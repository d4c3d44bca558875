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

// --- division ---------------------------------------------------------------

// --- modular exponentiation and primes ---------------------------------------

// --- gcd, inverse and symbols -------------------------------------------------

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
        {"-= x", [](I x) { const integer& same = x; x -= same; }, [](M x) { x = 0; }},
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
