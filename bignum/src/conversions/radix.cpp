// SPDX-License-Identifier: MIT
// Text in bases 2 to 36. A power-of-two base reads and writes the bits
// directly, in time linear in the size. Any other base works in chunks of as
// many digits as one limb holds (nine decimal digits): reading multiplies
// the limbs by the chunk's power once per chunk, writing divides them by it
// twice per pass (two word divisions per limb for eighteen decimal digits),
// instead of one bit-serial division per digit.

#include "radix.h"

#include <bignum/integer.h>

#include <algorithm>
#include <bit>
#include <vector>

namespace bignum::detail {

namespace {

constexpr std::string_view upper_digits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr std::string_view lower_digits = "0123456789abcdefghijklmnopqrstuvwxyz";

// The largest power of base that fits a limb, and its exponent: 10^9 and 9
// for decimal.
struct Chunk {
    Limb power;
    std::size_t digits;
};

Chunk chunk_of(unsigned base) noexcept
{
    Chunk c{base, 1};
    while (Wide{c.power} * base <= 0xFFFFFFFFU) {
        c.power *= base;
        ++c.digits;
    }
    return c;
}

constexpr Limb decimal_chunk = 1'000'000'000;

// log2 of a power-of-two base, or 0 for any other base.
unsigned bits_per_digit(unsigned base) noexcept
{
    return std::has_single_bit(base) ? static_cast<unsigned>(std::countr_zero(base)) : 0;
}

std::string digits_of_bits(std::span<const Limb> x, unsigned width, std::string_view alphabet)
{
    const std::size_t bits = (x.size() - 1) * limb_bits + std::bit_width(x.back());
    std::string text((bits + width - 1) / width, '0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        text[text.size() - 1 - i] = alphabet[bits_at(x, i * width, width)];
    }
    return text;
}

// divide(rest) divides rest by chunk.power squared in place and returns the
// two chunks of digits that fell out, the lower first.
template <class Divide>
std::string digits_by_chunks(std::span<const Limb> x, unsigned base, std::string_view alphabet, Divide divide)
{
    const Chunk chunk = chunk_of(base);
    std::vector<Limb> rest(x.begin(), x.end());
    std::string text;
    text.reserve(rest.size() * limb_bits); // enough for base 2, plenty otherwise
    while (!rest.empty()) {
        for (Limb part : divide(std::span<Limb>(rest))) {
            for (std::size_t i = 0; i < chunk.digits; ++i) {
                text.push_back(alphabet[part % base]);
                part /= base;
            }
        }
        while (!rest.empty() && rest.back() == 0) {
            rest.pop_back();
        }
    }
    // Every chunk was written at its full width, the top ones too.
    text.erase(text.find_last_not_of('0') + 1);
    std::reverse(text.begin(), text.end());
    return text;
}

void load_bits(std::string_view digits, unsigned width, BigNum* x)
{
    const std::size_t bits = (digits.size() - 1) * width + std::bit_width(digit_value(digits.front()));
    require_room(bits <= std::size_t{big_limb_capacity()} * limb_bits);
    Limb* out = limbs(x);
    for (std::size_t i = 0; i < digits.size(); ++i) {
        const Wide value = digit_value(digits[digits.size() - 1 - i]);
        const std::size_t position = i * width;
        const std::size_t index = position / limb_bits;
        const Wide placed = value << (position % limb_bits);
        out[index] |= low_word(placed);
        if (high_word(placed) != 0) {
            out[index + 1] |= high_word(placed);
        }
    }
    used(x) = std::max<std::uint32_t>(1, static_cast<std::uint32_t>((bits + limb_bits - 1) / limb_bits));
}

void load_by_chunks(std::string_view digits, unsigned base, BigNum* x)
{
    const Chunk chunk = chunk_of(base);
    // The first chunk takes the digits left over, so every later one is full.
    std::size_t size = digits.size() % chunk.digits;
    size = size == 0 ? chunk.digits : size;
    for (std::size_t start = 0; start < digits.size(); start += size, size = chunk.digits) {
        Limb factor = 1;
        Limb value = 0;
        for (const char ch : digits.substr(start, size)) {
            factor *= base;
            value = value * base + digit_value(ch);
        }
        mul_add_word(x, factor, value);
    }
}

} // namespace

std::string radix_digits(std::span<const Limb> magnitude, unsigned base, bool lower)
{
    const std::span<const Limb> x =
        magnitude.first(significant_limbs(magnitude.data(), static_cast<std::uint32_t>(magnitude.size())));
    if (x.size() == 1 && x[0] == 0) {
        return "0";
    }
    const std::string_view alphabet = lower ? lower_digits : upper_digits;
    const unsigned width = bits_per_digit(base);
    if (width != 0) {
        return digits_of_bits(x, width, alphabet);
    }
    if (base == 10) {
        // A constant divisor lets the compiler multiply by its reciprocal,
        // which is faster than a hardware division.
        return digits_by_chunks(x, base, alphabet,
                                [](std::span<Limb> rest) { return div_limbs_by_word_twice(rest, decimal_chunk); });
    }
    const Limb power = chunk_of(base).power;
    return digits_by_chunks(x, base, alphabet,
                            [power](std::span<Limb> rest) { return div_limbs_by_word_twice(rest, power); });
}

void radix_load(std::string_view digits, unsigned base, BigNum* x)
{
    const std::size_t first = std::min(digits.find_first_not_of('0'), digits.size() - 1);
    const std::string_view significant = digits.substr(first);
    const unsigned width = bits_per_digit(base);
    if (width != 0) {
        load_bits(significant, width, x);
    } else {
        load_by_chunks(significant, base, x);
    }
}

} // namespace bignum::detail
