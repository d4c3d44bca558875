// SPDX-License-Identifier: MIT
// Byte strings: the raw form (least significant byte first) and the text
// form (most significant byte first), their length limit and sign argument.

#include "../support.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

using namespace bignum_test;
using namespace std::string_view_literals;
using Bytes = BignumTest;

namespace {

enum class Form { raw, text };

void load(Form form, std::string_view bytes, BigNum* x, std::uint32_t sign)
{
    (form == Form::raw ? big_from_raw : big_from_text)(bytes.data(), static_cast<std::uint32_t>(bytes.size()), x, sign);
}

// The bytes a store writes, and its sign, from a buffer of the stated size
// (4 x used count) plus one, all set to a canary that no expected byte equals.
std::pair<std::string, std::uint32_t> store(Form form, const BigNum* x)
{
    std::string buf(4 * std::size_t{big_used_count(x)} + 1, '!');
    const std::uint32_t sign = (form == Form::raw ? big_to_raw : big_to_text)(x, buf.data());
    EXPECT_EQ(buf.back(), '!') << "a byte store wrote past its stated buffer size";
    return {buf.substr(0, buf.find_last_not_of('!') + 1), sign};
}

} // namespace

TEST_F(Bytes, LoadByLengthAloneStoreBackAndRefuseTooLongOrABadSign)
{
    using enum Form;
    using Limbs = std::vector<std::uint32_t>;
    const Limbs full(big_limb_capacity(), 0x5A5A5A5A);
    const std::string most(4 * std::size_t{big_limb_capacity()}, 'Z'), too_long = most + "Z";
    const std::string ones(8 * std::size_t{big_limb_capacity()}, 'F');
    // clang-format off
    struct Row { Form form; std::string_view bytes; std::uint32_t sign; Limbs limbs; std::string_view stored; };
    const Row rows[] = { // no limbs: refused
        {text, "abc"sv, 0, {0x616263}, "abc"sv}, {text, "abcde"sv, 1, {0x62636465, 0x61}, "abcde"sv},
        {text, ""sv, 1, {0}, "\0"sv}, {text, "\0ab"sv, 0, {0x6162}, "ab"sv}, // a leading zero byte is lost
        {text, "\0\0\0\0abcd"sv, 0, {0x61626364, 0}, "\0abcd"sv},            // a zero top limb gives one byte
        {text, "\1\0\0wxyz"sv, 1, {0x7778797A, 0x10000}, "\1\0\0wxyz"sv},
        {text, "secret message.\0"sv, 0, {0x67652E00, 0x65737361, 0x6574206D, 0x73656372}, "secret message.\0"sv},
        {raw, "abc"sv, 0, {0x636261}, "abc\0"sv}, {raw, "abcde"sv, 1, {0x64636261, 0x65}, "abcde\0\0\0"sv},
        {raw, ""sv, 1, {0}, "\0\0\0\0"sv}, {raw, "abcd\0\0\0\0"sv, 0, {0x64636261, 0}, "abcd\0\0\0\0"sv},
        {raw, most, 0, full, most}, {text, most, 1, full, most}, {raw, too_long, 0, {}, {}},
        {text, too_long, 0, {}, {}},
        {raw, "abc"sv, 0x101, {0x636261}, "abc\0"sv}, {raw, "abc"sv, 0x100, {0x636261}, "abc\0"sv}, // the low 8 bits
        {raw, "abc"sv, 2, {}, {}}, {raw, "abc"sv, 0x1FF, {}, {}}, {text, "abc"sv, 2, {}, {}},
        {text, "abc"sv, 0x100, {}, {}},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << '"' << row.bytes.substr(0, 20) << "\" sign " << row.sign);
        const Num x(ones); // every limb not loaded must come back zero, or all stay when too long
        if (row.limbs.empty()) {
            EXPECT_THROW(load(row.form, row.bytes, x, row.sign), big_error);
            if (row.bytes.size() > most.size()) {
                EXPECT_EQ(hex(x), ones);
            }
            continue;
        }
        load(row.form, row.bytes, x, row.sign);
        EXPECT_EQ(limbs_of(x), row.limbs);
        EXPECT_EQ(big_sign_word(x), row.sign & 0xFF);
        EXPECT_TRUE(upper_limbs_clear(x));
        EXPECT_EQ(store(row.form, x), std::pair(std::string(row.stored), row.sign & 0xFF));
    }
}
