// SPDX-License-Identifier: MIT
// Digits of limb spans in bases 2 to 36.

#include "limbs.h"

#include <algorithm>
#include <cmath>

namespace bignum::limbs {

namespace {

// The largest power of base that fits a limb, and its exponent.
struct chunk {
    limb power;
    unsigned digits;
};
chunk chunk_of(unsigned base) noexcept
{
    chunk c{base, 1};
    while (c.power <= std::numeric_limits<limb>::max() / base) {
        c.power *= base;
        ++c.digits;
    }
    return c;
}

unsigned digit_of(char ch) noexcept
{
    if (ch >= '0' && ch <= '9') {
        return static_cast<unsigned>(ch - '0');
    }
    return static_cast<unsigned>((ch | 0x20) - 'a') + 10;
}

} // namespace

std::size_t digits_room(std::size_t n, unsigned base) noexcept
{
    const auto bits = static_cast<std::size_t>(std::ceil(static_cast<double>(n) * std::log2(base))) + 1;
    return bits / limb_bits + 1;
}

std::string to_digits(view a, unsigned base, bool lower)
{
    a = trimmed(a);
    if (a.empty()) {
        return "0";
    }
    const char* const alphabet = lower ? "0123456789abcdefghijklmnopqrstuvwxyz" : "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    const chunk c = chunk_of(base);
    scratch work(a.size());
    span q = work.all();
    std::copy(a.begin(), a.end(), q.begin());
    std::string text;
    while (!q.empty()) {
        limb rest = divrem_1(q, q, c.power);
        q = q.first(trimmed(q).size());
        for (unsigned i = 0; i < c.digits && (rest != 0 || !q.empty()); ++i) {
            text += alphabet[rest % base];
            rest /= base;
        }
    }
    std::reverse(text.begin(), text.end());
    return text;
}

std::size_t from_digits(span r, std::string_view digits, unsigned base)
{
    const chunk c = chunk_of(base);
    std::size_t size = 0;
    std::size_t i = 0;
    while (i < digits.size()) {
        limb value = 0;
        limb scale = 1;
        for (unsigned k = 0; k < c.digits && i < digits.size(); ++k, ++i) {
            value = value * base + digit_of(digits[i]);
            scale *= base;
        }
        const limb top = mul_1(r.first(size), r.first(size), scale);
        const limb carry = size == 0 ? 0 : add_1(r.first(size), r.first(size), value);
        if (top + carry != 0) {
            r[size++] = top + carry;
        } else if (size == 0 && value != 0) {
            r[size++] = value;
        }
    }
    return size;
}

} // namespace bignum::limbs
