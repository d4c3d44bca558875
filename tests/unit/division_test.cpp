// SPDX-License-Identifier: MIT
// Truncating bit-serial division, by a BigNum and by a word.

#include "../support.h"

#include <algorithm>
#include <string>

using namespace bignum_test;

namespace {

using Division = BignumTest;

constexpr const char* dirty = "-DEADBEEFDEADBEEFDEADBEEFDEADBEEFDEADBEEFDEADBEEF";

// Quotient and remainder in one string, so that each way is one check.
std::string qr(const BigNum* q, const BigNum* r) { return hex(q) + " r " + hex(r); }

} // namespace

TEST_F(Division, TruncatesTowardsZeroWithAnyOutputAliased)
{
    struct Row {
        const char *a, *b, *q, *r;
    };
    const Row rows[] = {{"00", "05", "00", "00"},
                        {"03", "05", "00", "03"},
                        {"-03", "05", "00", "-03"},
                        {"05", "05", "01", "00"},
                        {"-05", "05", "-01", "00"},
                        {"05", "-05", "-01", "00"},
                        {"64", "07", "0E", "02"},
                        {"-64", "07", "-0E", "-02"},
                        {"64", "-07", "-0E", "02"},
                        {"-64", "-07", "0E", "-02"},
                        {"-06", "03", "-02", "00"},
                        {"010000000000000000", "0100000001", "FFFFFFFF", "01"}, // the quotient is a limb shorter than a
                        {"-01000000000000000000000000", "0100000000", "-010000000000000000", "00"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.a) + " / " + row.b);
        const std::string expected = std::string(row.q) + " r " + row.r;
        const Num a(row.a), b(row.b), q(dirty), r(dirty);
        big_divmod(a, b, q, r);
        EXPECT_EQ(qr(q, r), expected);
        EXPECT_TRUE(upper_limbs_clear(q) && upper_limbs_clear(r));
        const Num q_in_a(row.a), r_in_b(row.b), r_in_a(row.a), q_in_b(row.b), q_only(row.a), r_only(row.a);
        big_divmod(q_in_a, r_in_b, q_in_a, r_in_b);
        big_divmod(r_in_a, q_in_b, q_in_b, r_in_a);
        big_divmod(q_only, b, q_only, nullptr);
        big_mod(r_only, b, r_only);
        EXPECT_EQ(qr(q_in_a, r_in_b), expected);
        EXPECT_EQ(qr(q_in_b, r_in_a), expected);
        EXPECT_EQ(qr(q_only, r_only), expected);
    }
}

TEST_F(Division, WordDivisionReadsTheMagnitude)
{
    struct Row {
        const char* a;
        std::uint32_t w, remainder;
        const char* q;
    };
    const Row rows[] = {{"00", 7, 0, "00"},
                        {"07", 7, 0, "01"},
                        {"05", 7, 5, "00"},
                        {"-64", 7, 2, "0E"},
                        {"0100000000", 0x80000001, 0x7FFFFFFF, "01"}, // the running remainder needs 33 bits
                        {"AB54A98CEB1F0AD2", 4000000000, 1234567890, "B7F7070D"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.a) + " / " + std::to_string(row.w));
        const Num a(row.a), q(dirty);
        EXPECT_EQ(big_div_word(a, row.w, q), row.remainder);
        EXPECT_EQ(big_div_word(a, row.w, nullptr), row.remainder);
        EXPECT_EQ(big_div_word(a, row.w, a), row.remainder);
        EXPECT_EQ(hex(q), row.q);
        EXPECT_EQ(hex(a), row.q);
        EXPECT_TRUE(upper_limbs_clear(q));
    }
}

// A valid block may hold anything above its used count; the divisor is read
// only up to it, so stray limbs there change nothing.
TEST_F(Division, DivisorLimbsAboveTheUsedCountAreNotRead)
{
    big_set_precision(32); // capacity 4: a fills it
    const Num a("01000000000000000000000000"), b("FFFFFFFF"), q, r;
    std::fill(big_limbs(b) + 1, big_limbs(b) + big_limb_capacity(), 5);
    big_divmod(a, b, q, r);
    EXPECT_EQ(qr(q, r), "010000000100000001 r 01");
}

TEST_F(Division, RefusedDivisionWritesNothing)
{
    const Num zero, negative_zero, wide_zero;
    big_words(negative_zero)[1] = 1;             // still zero: the sign word is not looked at
    big_from_raw("\0\0\0\0\0", 5, wide_zero, 0); // zero by value, whatever its used count
    for (const char* dividend : {"07", "00", "-0123456789ABCDEF01"}) {
        for (const BigNum* b : {zero.get(), negative_zero.get(), wide_zero.get()}) {
            const Num a(dividend), q("-0B"), r("0C");
            EXPECT_THROW(big_divmod(a, b, q, r), std::domain_error) << dividend;
            EXPECT_THROW(big_mod(a, b, r), big_division_by_zero) << dividend;
            EXPECT_THROW(big_div_word(a, 0, q), big_division_by_zero) << dividend;
            EXPECT_THROW(big_powmod(a, zero, b, r), big_division_by_zero) << dividend; // x^0 needs a modulus too
            EXPECT_EQ(qr(q, r), "-0B r 0C");
        }
    }
    const Num a("64"), b("07"), both("05");
    EXPECT_THROW(big_divmod(a, b, both, both), big_error);
}
