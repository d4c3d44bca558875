// SPDX-License-Identifier: MIT
// Decimal text: the reader (and big_mul10, which it calls once per digit)
// and the writer. A value past the capacity is among the misuses.

#include "../support.h"

using namespace bignum_test;
using Decimal = BignumTest;

TEST_F(Decimal, ReadsSignLeadingZerosAndUncheckedBytesAndWritesTheValueBack)
{
    // clang-format off
    struct Row { const char *text, *hex, *written; };
    const Row rows[] = {
        {"", "00", "0"}, {"0", "00", "0"}, {"-0", "00", "0"}, {"-", "00", "0"}, {"-000", "00", "0"}, {"7", "07", "7"},
        {"10", "0A", "10"}, {"000123", "7B", "123"}, {"-000123", "-7B", "-123"},
        {"-4294967295", "-FFFFFFFF", "-4294967295"}, // fills the writer's stated buffer exactly
        {"4294967296", "0100000000", "4294967296"},
        {"-18446744073709551615", "-FFFFFFFFFFFFFFFF", "-18446744073709551615"},
        {"12a", "A9", "169"}, {"1 ", "FFFFFFFA", "4294967290"}, {"1\xC8", "A2", "162"}, // bytes b add b - 48 mod 2^32
        {"1-", "0100000007", "4294967303"},
        {"-340282366920938463463374607431768211456", "-0100000000000000000000000000000000",
         "-340282366920938463463374607431768211456"},
    };
    // clang-format on
    for (const Row& row : rows) {
        const Num x("-FFFFFFFFFFFFFFFFFFFF"); // overwritten entirely
        big_from_dec(row.text, x);
        EXPECT_EQ(hex(x), row.hex) << '"' << row.text << '"';
        EXPECT_TRUE(upper_limbs_clear(x)) << '"' << row.text << '"';
        EXPECT_EQ(dec(x), row.written);
    }
    const Num negative_zero;
    big_words(negative_zero)[1] = 1;
    EXPECT_EQ(dec(negative_zero), "0");
}
