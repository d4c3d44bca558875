// SPDX-License-Identifier: MIT
// Hexadecimal text: what the parser reads and refuses, and how the formatter
// writes what it read.

#include "../support.h"

#include <string>
#include <vector>

using namespace bignum_test;
using Hex = BignumTest;

TEST_F(Hex, ParsesEightCharactersToALimbAndFormatsWholeBytes)
{
    const std::string ones(8 * std::size_t{big_limb_capacity()}, 'F'); // every limb of the capacity set
    using Limbs = std::vector<std::uint32_t>;
    const Limbs full(big_limb_capacity(), 0xFFFFFFFF);
    // clang-format off
    struct Row { std::string text; Limbs limbs; std::uint32_t sign; std::string formatted; bool refused = false; };
    const Row rows[] = {
        {"", {0}, 0, "00"}, {"-", {0}, 0, "00"}, {"-000", {0}, 0, "00"}, {"1", {1}, 0, "01"}, {"1a", {26}, 0, "1A"},
        {"-00FF", {255}, 1, "-FF"}, {"100", {256}, 0, "0100"}, {"1000", {4096}, 0, "1000"},
        {"12345", {0x12345}, 0, "012345"}, {"abcdef01", {0xABCDEF01}, 0, "ABCDEF01"},
        {"123456789", {0x23456789, 1}, 0, "0123456789"}, {"100000000", {0, 1}, 0, "0100000000"},
        {"-10000000a", {10, 1}, 1, "-010000000A"},
        {"aBcDeF0123456789", {0x23456789, 0xABCDEF01}, 0, "ABCDEF0123456789"},
        {"G", {16}, 0, "10"}, {"0x1F", {8479}, 0, "211F"}, // characters other than digits count by the same rule
        {" 1", {0xFFFFFF01}, 0, "FFFFFF01"}, {"1\xC8", {0x81}, 0, "81"}, // a space counts -16; bytes are unsigned
        {"1G0000000", {0, 1}, 0, "0100000000"},                         // what passes bit 31 of a limb is lost ...
        {"G000000000000000", {0, 0}, 0, "0000000000"},                   // ... and can leave a zero top limb
        {"-000" + ones, full, 1, "-" + ones}, // sign and leading zeros do not count; the text fills its buffer
        {ones + "F", full, 0, ones, true}, {"1" + std::string(ones.size(), '0'), full, 0, ones, true}, // x is kept
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE("\"" + row.text.substr(0, 20) + "\"");
        const Num x(ones); // every stale limb must be cleared, or all kept by a refusal
        if (row.refused) {
            EXPECT_THROW(big_from_hex(row.text.c_str(), x), big_error);
        } else {
            big_from_hex(row.text.c_str(), x);
        }
        EXPECT_EQ(limbs_of(x), row.limbs);
        EXPECT_EQ(big_sign_word(x), row.sign);
        EXPECT_TRUE(upper_limbs_clear(x));
        EXPECT_EQ(hex(x), row.formatted);
    }
    const Num negative_zero;
    big_words(negative_zero)[1] = 1;
    EXPECT_EQ(hex(negative_zero), "-00");
}
