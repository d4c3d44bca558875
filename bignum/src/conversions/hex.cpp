// SPDX-License-Identifier: MIT
// Hexadecimal text: eight digits to a limb, no table, no allocation.

#include "../internal.h"

#include <cstring>

using namespace bignum::detail;

namespace {

constexpr unsigned digits_per_limb = 8;

// Digits and letters of either case take their usual values; any other byte
// is not rejected but counts by the same arithmetic (a space is -16).
[[nodiscard]] Limb digit_value(unsigned char ch) noexcept
{
    if (ch >= 'a') {
        return ch - 87U;
    }
    if (ch >= 'A') {
        return ch - 55U;
    }
    return static_cast<Limb>(ch) - 48U; // wraps below '0', as the text form allows
}

[[nodiscard]] char digit_char(unsigned nibble) noexcept
{
    return static_cast<char>(nibble <= 9 ? nibble + '0' : nibble - 10 + 'A');
}

char* put_digits(char* out, Limb value, unsigned digits) noexcept
{
    while (digits-- > 0) {
        *out++ = digit_char((value >> (4 * digits)) & 0xFU);
    }
    return out;
}

} // namespace

void big_from_hex(const char* text, BigNum* x)
{
    const bool negative = *text == '-';
    const char* digits = negative ? text + 1 : text;
    while (*digits == '0') {
        ++digits;
    }
    const std::size_t len = std::strlen(digits);
    require(len <= std::size_t{digits_per_limb} * big_limb_capacity(), big_error::reason::text_too_long);
    big_zero(x);
    if (len == 0) {
        return; // "-" and "-000" give +0
    }
    sign(x) = negative ? 1 : 0;
    used(x) = static_cast<std::uint32_t>((len + digits_per_limb - 1) / digits_per_limb);
    Limb* l = limbs(x);
    std::uint32_t next_limb = used(x);
    Limb acc = 0;
    // The accumulator is never cleared: a group's eight shifts push the
    // previous limb's digits out of it.
    for (std::size_t left = len; left-- > 0;) {
        acc = acc * 16 + digit_value(static_cast<unsigned char>(*digits++));
        if (left % digits_per_limb == 0) {
            l[--next_limb] = acc;
        }
    }
}

std::uint32_t big_to_hex(const BigNum* x, char* buf)
{
    char* out = buf;
    if (sign(x) != 0) {
        *out++ = '-';
    }
    const Limb* l = limbs(x);
    const std::uint32_t top = used(x) - 1;
    out = put_digits(out, l[top], 2 * significant_bytes(l[top]));
    for (std::uint32_t i = top; i-- > 0;) {
        out = put_digits(out, l[i], digits_per_limb);
    }
    *out = '\0';
    return static_cast<std::uint32_t>(out - buf);
}
