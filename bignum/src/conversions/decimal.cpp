// SPDX-License-Identifier: MIT
// Decimal text, by general arithmetic: times ten per digit read, one
// division by ten per digit written.

#include "../internal.h"

#include <algorithm>

using namespace bignum::detail;

void big_mul10(BigNum* a)
{
    // a + 9a in one pass, in place: each limb is read before it is written.
    const Limb carry = mul_add_limbs(magnitude(a), magnitude(a), 9);
    big_push_limb(a, carry);
}

void big_from_dec(const char* text, BigNum* x)
{
    big_zero(x);
    const bool negative = *text == '-';
    const char* digits = negative ? text + 1 : text;
    while (*digits == '0') {
        ++digits;
    }
    if (*digits == '\0') {
        return; // "-0" is +0 too
    }
    sign(x) = negative ? 1 : 0;
    for (; *digits != '\0'; ++digits) {
        big_mul10(x);
        // Bytes are not validated: any byte b adds b - 48 modulo 2^32.
        big_add_word(x, static_cast<unsigned char>(*digits) - 48U);
    }
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
