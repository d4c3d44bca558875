// SPDX-License-Identifier: MIT
// Shifts and truncation act on the magnitude; the sign rides along.

#include "../support.h"

#include <string>

using namespace bignum_test;

namespace {

using Shifts = BignumTest;
using InPlace = void (*)(BigNum*, std::uint32_t);
using Into = void (*)(const BigNum*, std::uint32_t, BigNum*);

// From big_to_hex form, "-00" a negative zero, as the byte loaders leave one.
void load(BigNum* x, const char* text)
{
    big_from_hex(text, x);
    big_words(x)[1] = text[0] == '-' ? 1 : 0;
}

// Runs an operation in place, into a longer dirty dst (src must not change)
// and into src itself. x is in big_to_hex form.
void expect_shift(InPlace in_place, Into into, const char* x, std::uint32_t count, const char* expected)
{
    const Num in, src, dst("-DEADBEEFDEADBEEFDEADBEEFDEADBEEFDEADBEEF");
    load(in, x);
    load(src, x);
    in_place(in, count);
    into(src, count, dst);
    EXPECT_EQ(hex(in), expected);
    EXPECT_EQ(hex(dst), expected);
    EXPECT_TRUE(upper_limbs_clear(in) && upper_limbs_clear(dst));
    EXPECT_EQ(hex(src), x);
    into(src, count, src);
    EXPECT_EQ(hex(src), expected);
}

} // namespace

// Rows by one bit also run the one-bit shifts, which return the bit that left.
TEST_F(Shifts, ShiftsByAnyCount)
{
    struct Row {
        const char* x;
        std::uint32_t count;
        const char *left, *right;
    };
    const Row rows[] = {
        {"00", 1, "00", "00"},
        {"-05", 1, "-0A", "-02"},
        {"-01", 1, "-02", "00"},
        {"80000000", 1, "0100000000", "40000000"},
        {"010000000000000000", 1, "020000000000000000", "8000000000000000"},
        {"FFFFFFFF00000001", 1, "01FFFFFFFE00000002", "7FFFFFFF80000000"},
        {"0123456789ABCDEF", 0, "0123456789ABCDEF", "0123456789ABCDEF"},
        {"01", 31, "80000000", "00"},
        {"01", 32, "0100000000", "00"},
        {"FFFFFFFF", 4, "0FFFFFFFF0", "0FFFFFFF"},
        {"-03", 33, "-0600000000", "00"},
        {"010000000000000007", 32, "01000000000000000700000000", "0100000000"},
        {"010000000000000007", 33, "02000000000000000E00000000", "80000000"},
        {"-0123456789ABCDEF", 57, "-02468ACF13579BDE00000000000000", "00"},
        {"-0123456789ABCDEF", 64, "-0123456789ABCDEF0000000000000000", "00"},
        {"00", 0xFFFFFFFF, "00", "00"}, // zero shifts left past any capacity
        {"-00", 1, "-00", "00"},        // a left shift keeps the sign, a right one gives +0
        {"-00", 33, "-00", "00"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.x) + " by " + std::to_string(row.count));
        expect_shift(big_shl, big_shl_to, row.x, row.count, row.left);
        expect_shift(big_shr, big_shr_to, row.x, row.count, row.right);
        if (row.count == 1) {
            const Num x(row.x), doubled, halved;
            load(doubled, row.x);
            load(halved, row.x);
            EXPECT_EQ(big_shl1(doubled), big_limbs(x)[big_used_count(x) - 1] >> 31);
            EXPECT_EQ(big_shr1(halved), big_limbs(x)[0] & 1U);
            EXPECT_EQ(hex(doubled), row.left);
            EXPECT_EQ(hex(halved), row.right);
        }
    }
}

TEST_F(Shifts, LeftShiftPastCapacityRaises)
{
    big_set_precision(128); // capacity 16: x below has 4 limbs, so 12 whole limbs fill it
    struct Row {
        const char* top;
        std::uint32_t count;
        bool fits;
    };
    const Row rows[] = {{"01", 32 * 12, true},
                        {"01", 32 * 12 + 1, true},
                        {"80000000", 32 * 12 + 1, false},
                        {"01", 32 * 13, false},
                        {"01", 0xFFFFFFFF, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.top) + " by " + std::to_string(row.count));
        const std::string x = row.top + std::string(8 * 3, '0');
        const Num shifted(x);
        if (row.fits) {
            big_shl(shifted, row.count);
            EXPECT_EQ(big_bit_length(shifted), big_bit_length(Num(x)) + row.count);
        } else {
            EXPECT_THROW(big_shl(shifted, row.count), big_error);
        }
        if (row.count / 32 > 12) {
            EXPECT_EQ(hex(shifted), x); // too many whole limbs: refused before anything moves
        }
    }
}

TEST_F(Shifts, LowBitsKeepTheSignOfANonZeroResult)
{
    struct Row {
        const char* x;
        std::uint32_t k;
        const char* low;
    };
    const Row rows[] = {{"05", 0, "00"},
                        {"05", 32, "05"},
                        {"05", 64, "05"},
                        {"-010000000005", 8, "-05"},
                        {"-0100", 8, "00"},
                        {"FFFFFFFFFFFFFFFF", 32, "FFFFFFFF"},
                        {"FFFFFFFFFFFFFFFF", 40, "FFFFFFFFFF"},
                        {"FFFFFFFFFFFFFFFF", 64, "FFFFFFFFFFFFFFFF"},
                        {"FFFFFFFFFFFFFFFF", 100, "FFFFFFFFFFFFFFFF"},
                        {"0100000000000000000000000000000001", 32, "01"},
                        {"-00", 0, "00"}, // a zero result is +0, a kept negative zero too
                        {"-00", 32, "00"},
                        {"-00", 100, "00"}};
    const InPlace in_place = [](BigNum* x, std::uint32_t k) { big_low_bits(x, k, x); };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.x) + " mod 2^" + std::to_string(row.k));
        expect_shift(in_place, big_low_bits, row.x, row.k, row.low);
    }
}
