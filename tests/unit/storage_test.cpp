// SPDX-License-Identifier: MIT
// Precision settings, allocation and the whole-record operations.

#include "../support.h"

#include <cstring>
#include <limits>

using namespace bignum_test;

using Storage = BignumTest;

// A refused precision (capacity 0 in the table) keeps the settings before it.
TEST_F(Storage, PrecisionIsRoundedUpToWholeLimbsUpTo16383Bits)
{
    struct Row {
        std::uint32_t bits, capacity;
    };
    std::uint32_t kept = 0;
    for (const Row& row : {Row{512, 64},
                           {0, 0},
                           {256, 32},
                           {16384, 0},
                           {100, 16},
                           {32768, 0},
                           {16384 + 512, 0},
                           {16383, 2048},
                           {1, 4}}) {
        if (row.capacity == 0) {
            EXPECT_THROW(big_set_precision(row.bits), big_error) << row.bits;
        } else {
            big_set_precision(row.bits);
            kept = row.capacity;
        }
        EXPECT_EQ(big_limb_capacity(), kept) << row.bits;
        EXPECT_EQ(big_block_size(), 8 + 4 * kept) << row.bits;
    }
    const Num alive;
    EXPECT_THROW(big_set_precision(512), big_error);
    EXPECT_EQ(big_limb_capacity(), kept);
}

TEST_F(Storage, FreeingNullDoesNothing)
{
    big_free(nullptr); // the fixture sees the live count still at 0
}

TEST_F(Storage, SettersClearTheWholeBlock)
{
    struct Row {
        void (*set)(BigNum*);
        const char* expected;
    };
    const Row rows[] = {{[](BigNum* x) { big_zero(x); }, "00"},
                        {[](BigNum* x) { big_set_word(x, 0xFFFFFFFF); }, "FFFFFFFF"},
                        {[](BigNum* x) { big_set_int(x, 0); }, "00"},
                        {[](BigNum* x) { big_set_int(x, -1); }, "-01"},
                        {[](BigNum* x) { big_set_int(x, std::numeric_limits<std::int32_t>::min()); }, "-80000000"}};
    for (const Row& row : rows) {
        const Num x("-123456789ABCDEF0123456789");
        row.set(x);
        EXPECT_EQ(hex(x), row.expected);
        EXPECT_TRUE(upper_limbs_clear(x)) << row.expected;
    }
}

TEST_F(Storage, BitLengthIgnoresTheSign)
{
    struct Row {
        const char* x;
        std::uint32_t bits;
    };
    for (const Row& row :
         {Row{"0", 0}, {"1", 1}, {"FFFFFFFF", 32}, {"100000000", 33}, {"-5", 3}, {"-8000000000000000", 64}}) {
        EXPECT_EQ(big_bit_length(Num(row.x)), row.bits) << row.x;
    }
}

TEST_F(Storage, SwapAndCopyMoveWholeBlocks)
{
    const Num a("-123456789ABCDEF0123456789"), b("5");
    big_swap(a, b);
    big_swap(b, b);
    EXPECT_EQ(hex(a), "05");
    EXPECT_EQ(hex(b), "-0123456789ABCDEF0123456789");
    EXPECT_TRUE(upper_limbs_clear(a));
    big_copy(b, a); // shorter over longer: the stale limbs must go too
    big_copy(b, b);
    EXPECT_EQ(std::memcmp(a.get(), b.get(), big_block_size()), 0);
}
