// SPDX-License-Identifier: MIT
// Digits of limb spans in bases 2 to 36: bits read and written directly for
// the power-of-two bases, for the others one limb's worth of digits at a time
// below a size, and above it halves split or joined by powers of the base.

#include "limbs.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numeric>
#include <type_traits>
#include <vector>

namespace bignum::limbs {

namespace {

// Limbs from which to_digits splits its value by a power of the base rather
// than dividing it by one limb's worth of digits at a time. Measured with
// decimal conversions from 8 to 192 limbs over products as fast as
// Karatsuba's: 20 was the best or within 5% of it throughout; 14 was 28%
// slower at 16 limbs, 45 was 14% slower at 48 and 70 was 45% slower at 64.
constexpr std::size_t to_digits_threshold = 20;
// Digits from which from_digits joins halves by multiplying with a power of
// the base rather than multiplying in one limb's worth at a time. Measured
// likewise from 600 to 10,000 decimal digits: below 2000 the joins cost more
// than they save (30% at 1233 digits with 1000), above it they win.
constexpr std::size_t from_digits_threshold = 2000;

[[nodiscard]] const char* alphabet(bool lower) noexcept
{
    return lower ? "0123456789abcdefghijklmnopqrstuvwxyz" : "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
}

[[nodiscard]] unsigned digit_of(char ch) noexcept
{
    if (ch >= '0' && ch <= '9') {
        return static_cast<unsigned>(ch - '0');
    }
    return static_cast<unsigned>((ch | 0x20) - 'a') + 10;
}

// Bits of a normalised, non-empty a.
[[nodiscard]] std::size_t bit_length(view a) noexcept
{
    return a.size() * limb_bits - static_cast<std::size_t>(std::countl_zero(a.back()));
}

// --- Power-of-two bases: each digit is `bits` bits of the value ---------------

std::string to_digits_by_bits(view a, unsigned bits, const char* letters)
{
    const std::size_t count = (bit_length(a) + bits - 1) / bits;
    const limb mask = (limb{1} << bits) - 1;
    std::string text(count, '0');
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = i * bits;
        const std::size_t index = at / limb_bits;
        const auto offset = static_cast<unsigned>(at % limb_bits);
        limb value = a[index] >> offset;
        if (offset + bits > limb_bits && index + 1 < a.size()) {
            value |= a[index + 1] << (limb_bits - offset);
        }
        text[count - 1 - i] = letters[value & mask];
    }
    return text;
}

std::size_t from_digits_by_bits(span r, std::string_view digits, unsigned bits)
{
    std::size_t size = 0;
    limb value = 0;
    unsigned filled = 0;
    for (std::size_t i = digits.size(); i-- > 0;) {
        const limb digit = digit_of(digits[i]);
        value |= digit << filled;
        filled += bits;
        if (filled >= limb_bits) {
            r[size++] = value;
            filled -= limb_bits;
            value = filled == 0 ? 0 : digit >> (bits - filled);
        }
    }
    if (filled != 0) {
        r[size++] = value;
    }
    return trimmed(r.first(size)).size();
}

// --- Other bases: chunks of digits that fit a limb, powers of the base ------------

// The largest power of base that fits a limb, and its exponent.
struct chunk {
    limb power;
    unsigned digits;
};
[[nodiscard]] chunk chunk_of(unsigned base) noexcept
{
    chunk c{base, 1};
    while (c.power <= std::numeric_limits<limb>::max() / base) {
        c.power *= base;
        ++c.digits;
    }
    return c;
}

// The powers base^(c.digits 2^k), normalised, from k = 0 up to the first
// that `enough` accepts, or the last below it. An even base's powers end in
// zero limbs (10^m in m zero bits), kept as a count rather than stored: they
// would only lengthen every division and product by the power, by about a
// third for decimal.
class base_powers {
public:
    // `enough(size in limbs, digits)` says when to stop squaring.
    template <class Enough>
    base_powers(chunk c, Enough enough) : digits_{c.digits}, zero_limbs_{0}
    {
        powers_.push_back({c.power});
        while (!enough(size(levels() - 1), digits_.back())) {
            const std::vector<limb>& last = powers_.back();
            std::vector<limb> squared(2 * last.size());
            sqr(squared, last);
            squared.resize(trimmed(squared).size());
            const auto nonzero = std::find_if(squared.begin(), squared.end(), [](limb x) { return x != 0; });
            const auto zeros = static_cast<std::size_t>(nonzero - squared.begin());
            squared.erase(squared.begin(), nonzero);
            powers_.push_back(std::move(squared));
            digits_.push_back(2 * digits_.back());
            zero_limbs_.push_back(2 * zero_limbs_.back() + zeros);
        }
    }
    [[nodiscard]] std::size_t levels() const noexcept { return powers_.size(); }
    // The power without its zero_limbs(k) low zero limbs.
    [[nodiscard]] view odd_part(std::size_t k) const noexcept { return powers_[k]; }
    [[nodiscard]] std::size_t zero_limbs(std::size_t k) const noexcept { return zero_limbs_[k]; }
    // Limbs of the whole power.
    [[nodiscard]] std::size_t size(std::size_t k) const noexcept { return zero_limbs_[k] + powers_[k].size(); }
    [[nodiscard]] std::size_t digits(std::size_t k) const noexcept { return digits_[k]; }

private:
    std::vector<std::vector<limb>> powers_;
    std::vector<std::size_t> digits_;
    std::vector<std::size_t> zero_limbs_;
};

class digit_writer {
public:
    digit_writer(unsigned base, const char* letters) noexcept : base_(base), chunk_(chunk_of(base)), letters_(letters)
    {
    }

    // Appends the digits of normalised a to text: exactly `width` of them,
    // leading zeros included, when width is not 0 (a < base^width), else as
    // few as a needs.
    void write(std::string& text, view a, std::size_t width, const base_powers& powers, std::size_t k) const
    {
        if (a.size() < to_digits_threshold) {
            write_by_chunks(text, a, width);
            return;
        }
        // The largest power with no more than half of a's limbs, so that the
        // quotient is no larger than the remainder.
        while (k > 0 && 2 * powers.size(k) > a.size() + 1) {
            --k;
        }
        // a = q p 2^z + r: a's low z limbs pass to r unchanged.
        const view p = powers.odd_part(k);
        const std::size_t z = powers.zero_limbs(k);
        const view a_high = a.subspan(z);
        std::vector<limb> q(a_high.size() - p.size() + 1);
        std::vector<limb> r(z + p.size());
        divrem(q, span(r).subspan(z), a_high, p);
        std::copy_n(a.begin(), z, r.begin());
        const std::size_t low_width = powers.digits(k);
        write(text, trimmed(q), width == 0 ? 0 : width - low_width, powers, k);
        write(text, trimmed(r), low_width, powers, k);
    }

    // One limb's worth of digits at a time from the bottom, by one-limb
    // divisions.
    void write_by_chunks(std::string& text, view a, std::size_t width) const
    {
        // Decimal, by far the most asked for, divides by a constant.
        if (base_ == 10) {
            write_by_chunks(text, a, width, std::integral_constant<unsigned, 10>{});
        } else {
            write_by_chunks(text, a, width, base_);
        }
    }

private:
    // Every chunk's digits, leading zeros included, from the end of a
    // buffer backwards; then as many as asked for.
    template <class Base>
    void write_by_chunks(std::string& text, view a, std::size_t width, Base base) const
    {
        std::vector<limb> q(a.begin(), a.end());
        // Each chunk takes more than limb_bits - 6 bits (its power is over
        // B / base, base < 2^6).
        const std::size_t chunks = q.size() * limb_bits / (limb_bits - 6) + 1;
        std::string digits(chunks * chunk_.digits, '0');
        auto at = digits.end();
        for (span rest = q; !rest.empty(); rest = rest.first(trimmed(rest).size())) {
            limb part = divrem_1(rest, rest, chunk_.power);
            for (unsigned i = 0; i < chunk_.digits; ++i) {
                *--at = letters_[part % base];
                part /= base;
            }
        }
        const auto first = std::find_if(at, digits.end(), [](char c) { return c != '0'; });
        const auto count = static_cast<std::size_t>(digits.end() - first);
        if (width > count) {
            text.append(width - count, '0');
        }
        text.append(first, digits.end());
    }

    unsigned base_;
    chunk chunk_;
    const char* letters_;
};

// r = r * m + carry over r.size() limbs; returns the limb out at the top.
limb multiply_add_1(span r, limb m, limb carry) noexcept
{
    for (limb& x : r) {
        const wide p = wide{x} * m + carry;
        x = low_half(p);
        carry = high_half(p);
    }
    return carry;
}

class digit_reader {
public:
    explicit digit_reader(unsigned base) noexcept : base_(base), chunk_(chunk_of(base)) {}

    // The value of digits into r (room for it); returns its normalised size.
    [[nodiscard]] std::size_t read(span r, std::string_view digits, const base_powers& powers, std::size_t k) const
    {
        if (digits.size() < from_digits_threshold) {
            return read_by_chunks(r, digits);
        }
        // The largest power with fewer digits than the text: the low part,
        // at least half of the text, goes below it, the rest above.
        while (k > 0 && powers.digits(k) >= digits.size()) {
            --k;
        }
        const std::size_t low_width = powers.digits(k);
        const std::string_view high = digits.substr(0, digits.size() - low_width);
        const std::string_view low = digits.substr(high.size());
        std::vector<limb> low_value(digits_room(low.size(), base_));
        const std::size_t low_size = read(low_value, low, powers, k);
        std::vector<limb> high_value(digits_room(high.size(), base_));
        const std::size_t high_size = read(high_value, high, powers, k);
        if (high_size == 0) {
            std::copy_n(low_value.begin(), low_size, r.begin());
            return low_size;
        }
        const view p = powers.odd_part(k);
        const std::size_t z = powers.zero_limbs(k);
        std::vector<limb> sum(high_size + z + p.size());
        mul(span(sum).subspan(z), view(high_value).first(high_size), p);
        add(sum, sum, view(low_value).first(low_size));
        const std::size_t size = trimmed(sum).size();
        std::copy_n(sum.begin(), size, r.begin());
        return size;
    }

    // One limb's worth of digits at a time, the first chunk taking the
    // digits left over.
    [[nodiscard]] std::size_t read_by_chunks(span r, std::string_view digits) const
    {
        // Decimal, by far the most asked for, multiplies by a constant.
        if (base_ == 10) {
            return read_by_chunks(r, digits, std::integral_constant<unsigned, 10>{});
        }
        return read_by_chunks(r, digits, base_);
    }

private:
    template <class Base>
    [[nodiscard]] std::size_t read_by_chunks(span r, std::string_view digits, Base base) const
    {
        const auto value_of = [base](std::string_view part) {
            return std::accumulate(part.begin(), part.end(), limb{0},
                                   [base](limb value, char ch) { return value * base + digit_of(ch); });
        };
        std::size_t first = digits.size() % chunk_.digits;
        if (first == 0) {
            first = chunk_.digits;
        }
        r[0] = value_of(digits.substr(0, first));
        std::size_t size = r[0] == 0 ? 0 : 1;
        for (std::size_t i = first; i < digits.size(); i += chunk_.digits) {
            const limb top = multiply_add_1(r.first(size), chunk_.power, value_of(digits.substr(i, chunk_.digits)));
            if (top != 0) {
                r[size++] = top;
            }
        }
        return size;
    }

    unsigned base_;
    chunk chunk_;
};

[[nodiscard]] unsigned bits_of_power_of_two(unsigned base) noexcept
{
    return std::has_single_bit(base) ? static_cast<unsigned>(std::countr_zero(base)) : 0;
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
    if (const unsigned bits = bits_of_power_of_two(base); bits != 0) {
        return to_digits_by_bits(a, bits, alphabet(lower));
    }
    const digit_writer writer(base, alphabet(lower));
    std::string text;
    if (a.size() < to_digits_threshold) {
        writer.write_by_chunks(text, a, 0);
        return text;
    }
    const base_powers powers(chunk_of(base),
                             [&](std::size_t size, std::size_t) { return 4 * size > 2 * a.size() + 1; });
    writer.write(text, a, 0, powers, powers.levels() - 1);
    return text;
}

std::size_t from_digits(span r, std::string_view digits, unsigned base)
{
    if (const unsigned bits = bits_of_power_of_two(base); bits != 0) {
        return from_digits_by_bits(r, digits, bits);
    }
    const digit_reader reader(base);
    if (digits.size() < from_digits_threshold) {
        return reader.read_by_chunks(r, digits);
    }
    const base_powers powers(chunk_of(base), [&](std::size_t, std::size_t n) { return 2 * n >= digits.size(); });
    return reader.read(r, digits, powers, powers.levels() - 1);
}

} // namespace bignum::limbs
