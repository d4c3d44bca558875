// SPDX-License-Identifier: MIT
// Montgomery arithmetic modulo an odd m of n limbs, and the sliding-window
// powering that it and the powers modulo 2^k share. Not installed.
//
// A residue x is held in Montgomery form, x R mod m with R = 2^(n limb_bits),
// always below m, so that equal residues have equal limbs.

#ifndef BIGNUM_SRC_LIMBS_MONTGOMERY_H
#define BIGNUM_SRC_LIMBS_MONTGOMERY_H

#include "limbs.h"

#include <algorithm>
#include <bit>

namespace bignum::limbs {

// a^-1 mod 2^limb_bits for odd a, by Newton's iteration: a is its own
// inverse to 3 bits, and each step doubles the bits that are right.
[[nodiscard]] constexpr limb word_inverse(limb a) noexcept
{
    limb x = a;
    for (unsigned bits = 3; bits < limb_bits; bits *= 2) {
        x *= 2 - a * x;
    }
    return x;
}

// Bits of a normalised a (0 for zero).
[[nodiscard]] inline std::size_t bit_length(view a) noexcept
{
    return a.empty() ? 0 : a.size() * limb_bits - static_cast<std::size_t>(std::countl_zero(a.back()));
}

// Bit i of a, i below a's bits.
[[nodiscard]] inline bool bit_at(view a, std::size_t i) noexcept
{
    return (a[i / limb_bits] >> (i % limb_bits) & 1) != 0;
}

// The zero low bits of a non-zero a.
[[nodiscard]] inline std::size_t trailing_zeros(view a) noexcept
{
    std::size_t i = 0;
    while (a[i / limb_bits] == 0) {
        i += limb_bits;
    }
    return i + static_cast<std::size_t>(std::countr_zero(a[i / limb_bits]));
}

// a with its low s bits dropped, into r.size() == a.size() - s / limb_bits
// limbs (s of any size below a's bits).
void shift_right_bits(span r, view a, std::size_t s) noexcept;

class montgomery {
public:
    // For normalised odd m > 1, which must outlive this.
    explicit montgomery(view m);

    [[nodiscard]] std::size_t size() const noexcept { return m_.size(); }
    [[nodiscard]] view modulus() const noexcept { return m_; }
    // 1 in Montgomery form.
    [[nodiscard]] view one() const noexcept { return one_; }
    // Limbs of `work` that mul, sqr and from_form need.
    [[nodiscard]] std::size_t work_size() const noexcept { return 6 * size(); }

    // r = a b / R mod m; in place allowed.
    void mul(span r, view a, view b, span work) const;
    // r = a^2 / R mod m; in place allowed.
    void sqr(span r, view a, span work) const;
    // r = a R mod m for a of any size. Allocates.
    void to_form(span r, view a) const;
    // r = a / R mod m, the plain value of a residue; in place allowed.
    void from_form(span r, view a, span work) const;
    // r = a^e in Montgomery form for normalised e (a^0 = 1). Allocates.
    void pow(span r, view a, view e) const;
    // r = 2^e in Montgomery form for normalised e: squarings, and per window
    // of bits a shift and a short division instead of a product. Allocates.
    void pow_two(span r, view e) const;

    // Residue sums and such: a, b < m, in place allowed.
    void add(span r, view a, view b) const noexcept;
    void sub(span r, view a, view b) const noexcept;
    // r = a / 2 mod m.
    void half(span r, view a) const noexcept;
    // r = a c mod m for a small c (a few bits), by doubling and adding;
    // r must not be a.
    void mul_small(span r, view a, limb c) const noexcept;

private:
    // r = t / R mod m for t < m R in the first 2n limbs of `work`, by two
    // products: q = t (-m^-1) mod R, then (t + q m) / R. t is consumed, and
    // the rest of `work` serves the products. Large sizes only.
    void redc(span r, span work) const;
    // r = a b / R mod m with the reduction interleaved, limb by limb.
    void mul_interleaved(span r, view a, view b, span work) const noexcept;

    view m_;
    limb inverse_; // -m^-1 mod 2^limb_bits
    scratch inverse_room_;
    view wide_inverse_; // -m^-1 mod R, at sizes reduced by products
    scratch one_room_;
    view one_;
};

// The window width for an exponent of `bits` bits: wider windows take
// fewer products but a table twice as large to fill.
[[nodiscard]] unsigned window_bits(std::size_t bits) noexcept;

// r = b^e for normalised, non-zero e in a ring of n-limb elements whose
// `mul(r, a, b, work)` and `sqr(r, a, work)` allow r in place and take
// `work_size()` limbs of work: squarings left to right, and one product by
// a table entry, an odd power of b, per window of at most window_bits()
// bits that starts and ends with a one. Allocates before writing r.
template <class Ring>
void window_pow(const Ring& ring, span r, view b, view e)
{
    const std::size_t n = ring.size();
    const std::size_t bits = bit_length(e);
    const unsigned k = window_bits(bits);
    const std::size_t entries = std::size_t{1} << (k - 1);
    scratch room(entries * n + n + ring.work_size());
    const auto entry = [&](std::size_t i) { return room.all().subspan(i * n, n); };
    const span square = room.all().subspan(entries * n, n);
    const span work = room.all().subspan(entries * n + n);
    std::copy(b.begin(), b.end(), entry(0).begin());
    if (entries > 1) {
        ring.sqr(square, b, work);
        for (std::size_t i = 1; i < entries; ++i) {
            ring.mul(entry(i), entry(i - 1), square, work);
        }
    }
    bool started = false;
    for (std::size_t top = bits; top > 0;) {
        if (!bit_at(e, top - 1)) {
            ring.sqr(r, r, work);
            --top;
            continue;
        }
        std::size_t low = top > k ? top - k : 0;
        while (!bit_at(e, low)) {
            ++low;
        }
        std::size_t value = 0;
        for (std::size_t i = top; i-- > low;) {
            value = value << 1 | (bit_at(e, i) ? 1 : 0);
        }
        if (started) {
            for (std::size_t i = low; i < top; ++i) {
                ring.sqr(r, r, work);
            }
            ring.mul(r, r, entry(value >> 1), work);
        } else {
            const span first = entry(value >> 1);
            std::copy(first.begin(), first.end(), r.begin());
            started = true;
        }
        top = low;
    }
}

} // namespace bignum::limbs

#endif // BIGNUM_SRC_LIMBS_MONTGOMERY_H
