// SPDX-License-Identifier: MIT
// Decimal text, by general arithmetic: times ten per digit read, one
// division by ten per digit written.

#include "../internal.h"

#include <algorithm>

using namespace bignum::detail;

namespace {

// A top limb up to this one takes 10 x itself plus a carry of at most 9.
constexpr Limb largest_top_without_carry = (~Limb{0} - 9) / 10;

// The limb that 10 |a| carries out of a's used limbs, computed without
// writing.
Limb times_ten_carry(std::span<const Limb> a) noexcept
{
    Limb carry = 0;
    for (const Limb limb : a) {
        carry = high_word(Wide{limb} * 10 + carry);
    }
    return carry;
}

} // namespace

void big_mul10(BigNum* a)
{
    // Only a large top limb at the capacity can overflow: refused before
    // anything changes.
    if (limbs(a)[used(a) - 1] > largest_top_without_carry && used(a) == big_limb_capacity()) {
        require_room(times_ten_carry(magnitude(a)) == 0);
    }
    mul_add_word(a, 10, 0);
}

void big_from_dec(const char* text, BigNum* x)
{
    // Built aside, in big_from_dec's own temporary: text past the capacity
    // leaves x as it was.
    const Scratch t;
    const bool negative = *text == '-';
    for (const char* digit = negative ? text + 1 : text; *digit != '\0'; ++digit) {
        // Bytes are not validated: any byte b adds b - 48 modulo 2^32.
        mul_add_word(t, 10, static_cast<unsigned char>(*digit) - 48U);
    }
    sign(t) = negative && !is_zero(t) ? 1 : 0; // "-0" is +0 too
    copy_value(x, t);
}

void big_to_dec(const BigNum* x, char* buf)
{
    if (is_zero(x)) {
        buf[0] = '0';
        buf[1] = '\0';
        return;
    }
    char* first_digit = buf;
    if (sign(x) != 0) {
        *first_digit++ = '-';
    }
    const Scratch ten(10);
    const Scratch digit;
    const Scratch rest;
    copy_value(rest, x);
    char* out = first_digit;
    while (!is_zero(rest)) {
        big_divmod(rest, ten, rest, digit);
        *out++ = static_cast<char>('0' + limbs(digit)[0]);
    }
    *out = '\0';
    std::reverse(first_digit, out);
}
