// SPDX-License-Identifier: MIT
// Test helpers: an owning handle, text round trips, and a fixture that fixes
// the precision and fails any test that leaks a block.

#ifndef BIGNUM_TESTS_SUPPORT_H
#define BIGNUM_TESTS_SUPPORT_H

#include <bignum/bignum.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace bignum_test {

// Owns one BigNum for the scope of a test.
class Num : public big_scoped {
public:
    Num() = default;
    // From hexadecimal text, as big_from_hex reads it ("-1A", "0", ...).
    explicit Num(const char* hex) { big_from_hex(hex, get()); }
    explicit Num(const std::string& hex) : Num(hex.c_str()) {}
};

// big_to_hex into a buffer sized for the number, checking a canary after it.
inline std::string hex(const BigNum* x)
{
    const std::size_t size = 8 * std::size_t{big_used_count(x)} + 2;
    std::vector<char> buf(size + 1, '!');
    const std::uint32_t len = big_to_hex(x, buf.data());
    EXPECT_EQ(buf[size], '!') << "big_to_hex wrote past its stated buffer size";
    EXPECT_EQ(buf[len], '\0');
    return std::string(buf.data(), len);
}

// big_to_dec likewise.
inline std::string dec(const BigNum* x)
{
    const std::size_t size = 10 * std::size_t{big_used_count(x)} + 2;
    std::vector<char> buf(size + 1, '!');
    big_to_dec(x, buf.data());
    EXPECT_EQ(buf[size], '!') << "big_to_dec wrote past its stated buffer size";
    return std::string(buf.data());
}

// big_from_dec, but "-0" gives a zero with sign word 1: only the byte-string
// loaders make one, yet every operation must cope with it.
inline void from_dec(const char* text, BigNum* x)
{
    big_from_dec(text, x);
    big_words(x)[1] = text[0] == '-' ? 1 : 0;
}

// dec, but a negative zero comes back "-0", so that it cannot pass for 0.
inline std::string signed_dec(const BigNum* x) { return big_sign_word(x) != 0 && dec(x) == "0" ? "-0" : dec(x); }

// The number's limbs in use, least significant first.
inline std::vector<std::uint32_t> limbs_of(const BigNum* x) { return {big_limbs(x), big_limbs(x) + big_used_count(x)}; }

// The whole block, word by word: what a refused operation must leave as it
// found it.
inline std::vector<std::uint32_t> block_of(const BigNum* x)
{
    return {big_words(x), big_words(x) + big_block_size() / 4};
}

// True when the limbs above the used count are all zero (an invariant every
// operation keeps).
inline bool upper_limbs_clear(const BigNum* x)
{
    for (std::uint32_t i = big_used_count(x); i < big_limb_capacity(); ++i) {
        if (big_limbs(x)[i] != 0) {
            return false;
        }
    }
    return true;
}

// Sets the precision for each test and fails a test that leaves blocks alive.
class BignumTest : public ::testing::Test {
protected:
    explicit BignumTest(std::uint32_t bits = 1024) : bits_(bits) {}
    void SetUp() override { big_set_precision(bits_); }
    void TearDown() override { EXPECT_EQ(big_live_blocks(), 0U) << "a test or an operation leaked a block"; }

private:
    std::uint32_t bits_;
};

} // namespace bignum_test

#endif // BIGNUM_TESTS_SUPPORT_H
