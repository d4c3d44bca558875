// SPDX-License-Identifier: MIT
// Montgomery multiplication and squaring, and the window widths of powering.

#include "montgomery.h"

#include <algorithm>
#include <array>

namespace bignum::limbs {

namespace {

// Below this many limbs the reduction interleaved with schoolbook rows wins,
// squarings included; from it on, the size-chosen product and a reduction by
// two more products.
constexpr std::size_t reduction_by_products_limbs = 48;

// -m^-1 mod R for R = 2^(m.size() limb_bits): the multipliers that the
// limb-by-limb reduction of 1 picks are its limbs.
void negated_inverse(span r, view m, limb word) noexcept
{
    const std::size_t n = m.size();
    scratch room(n);
    const span t = room.all();
    std::fill(t.begin(), t.end(), 0);
    t[0] = 1;
    for (std::size_t i = 0; i < n; ++i) {
        r[i] = t[i] * word;
        addmul_1(t.subspan(i), m.first(n - i), r[i]);
    }
}

} // namespace

void shift_right_bits(span r, view a, std::size_t s) noexcept
{
    const view high = a.subspan(s / limb_bits);
    const auto bits = static_cast<unsigned>(s % limb_bits);
    if (bits == 0) {
        std::copy(high.begin(), high.end(), r.begin());
    } else {
        shift_right(r, high, bits);
    }
}

montgomery::montgomery(view m)
    : m_(m), inverse_(0 - word_inverse(m[0])), inverse_room_(m.size() < reduction_by_products_limbs ? 0 : m.size()),
      one_room_(m.size())
{
    if (m.size() >= reduction_by_products_limbs) {
        negated_inverse(inverse_room_.all(), m_, inverse_);
    }
    wide_inverse_ = inverse_room_.all();
    constexpr std::array<limb, 1> unit{1};
    to_form(one_room_.all(), unit);
    one_ = one_room_.all();
}

void montgomery::mul(span r, view a, view b, span work) const
{
    const std::size_t n = size();
    if (n < reduction_by_products_limbs) {
        mul_interleaved(r, a, b, work);
        return;
    }
    limbs::mul(work.first(2 * n), a, b);
    redc(r, work);
}

void montgomery::sqr(span r, view a, span work) const
{
    if (size() < reduction_by_products_limbs) {
        mul_interleaved(r, a, a, work);
        return;
    }
    limbs::sqr(work.first(2 * size()), a);
    redc(r, work);
}

void montgomery::to_form(span r, view a) const
{
    const std::size_t n = size();
    scratch shifted(n + a.size());
    std::fill_n(shifted.all().begin(), n, 0);
    std::copy(a.begin(), a.end(), shifted.all().begin() + static_cast<std::ptrdiff_t>(n));
    mod(r, shifted.all(), m_);
}

void montgomery::from_form(span r, view a, span work) const
{
    const std::size_t n = size();
    if (n < reduction_by_products_limbs) {
        const span unit = work.first(n);
        std::fill(unit.begin(), unit.end(), 0);
        unit[0] = 1;
        mul_interleaved(r, a, unit, work.subspan(n));
        return;
    }
    const span t = work.first(2 * n);
    std::copy(a.begin(), a.end(), t.begin());
    std::fill(t.begin() + static_cast<std::ptrdiff_t>(n), t.end(), 0);
    redc(r, work);
}

void montgomery::pow(span r, view a, view e) const
{
    if (e.empty()) {
        std::copy(one_.begin(), one_.end(), r.begin());
        return;
    }
    window_pow(*this, r, a, e);
}

void montgomery::pow_two(span r, view e) const
{
    const std::size_t n = size();
    // Windows of w bits shift by less than a limb.
    constexpr auto w = static_cast<std::size_t>(std::bit_width(limb_bits) - 1);
    scratch room(n + 1 + work_size());
    const span shifted = room.first(n + 1);
    const span work = room.all().subspan(n + 1);
    std::copy(one_.begin(), one_.end(), r.begin());
    const std::size_t bits = bit_length(e);
    bool started = false;
    for (std::size_t top = (bits + w - 1) / w * w; top > 0; top -= w) {
        unsigned value = 0;
        for (std::size_t i = top; i-- > top - w;) {
            value = value << 1 | (i < bits && bit_at(e, i) ? 1U : 0U);
            if (started) {
                sqr(r, r, work);
            }
        }
        if (value != 0) {
            shifted[n] = shift_left(shifted.first(n), r, value);
            mod(r, shifted, m_);
            started = true;
        }
    }
}

// t + q m is a multiple of R below 2mR: its high half, whose low limbs come
// with a carry unless t's low half is zero, needs one subtraction at most.
void montgomery::redc(span r, span work) const
{
    const std::size_t n = size();
    const span t = work.first(2 * n);
    const span low_product = work.subspan(2 * n, 2 * n);
    const span qm = work.subspan(4 * n, 2 * n);
    const span q = low_product.first(n);
    limbs::mul(low_product, t.first(n), wide_inverse_);
    limbs::mul(qm, q, m_);
    const view low = t.first(n);
    const limb carry_in = std::any_of(low.begin(), low.end(), [](limb x) { return x != 0; }) ? 1 : 0;
    limb carry = limbs::add(r, t.subspan(n), qm.subspan(n));
    carry += add_1(r, r, carry_in);
    if (carry != 0 || compare_same_size(r, m_) >= 0) {
        limbs::sub(r, r, m_);
    }
}

// Per limb b[i] of b: t += a b[i] + q m, with q making the low limb zero,
// then t /= 2^limb_bits, both products in one pass over the limbs. t stays
// below 2m, so n limbs and one bit hold it.
void montgomery::mul_interleaved(span r, view a, view b, span work) const noexcept
{
    const std::size_t n = size();
    const span t = work.first(n + 1);
    std::fill(t.begin(), t.end(), 0);
    for (std::size_t i = 0; i < n; ++i) {
        const limb bi = b[i];
        const limb q = (t[0] + a[0] * bi) * inverse_;
        wide sum = wide{a[0]} * bi + t[0];
        wide reduced = wide{m_[0]} * q + low_half(sum);
        for (std::size_t j = 1; j < n; ++j) {
            sum = wide{a[j]} * bi + t[j] + high_half(sum);
            reduced = wide{m_[j]} * q + low_half(sum) + high_half(reduced);
            t[j - 1] = low_half(reduced);
        }
        const wide top = wide{t[n]} + high_half(sum) + high_half(reduced);
        t[n - 1] = low_half(top);
        t[n] = high_half(top);
    }
    if (t[n] != 0 || compare_same_size(t.first(n), m_) >= 0) {
        limbs::sub(r, t.first(n), m_);
    } else {
        std::copy_n(t.begin(), n, r.begin());
    }
}

void montgomery::add(span r, view a, view b) const noexcept
{
    const limb carry = limbs::add(r, a, b);
    if (carry != 0 || compare_same_size(r, m_) >= 0) {
        limbs::sub(r, r, m_);
    }
}

void montgomery::sub(span r, view a, view b) const noexcept
{
    if (limbs::sub(r, a, b) != 0) {
        limbs::add(r, r, m_);
    }
}

void montgomery::half(span r, view a) const noexcept
{
    const std::size_t n = size();
    if ((a[0] & 1) == 0) {
        shift_right(r, a, 1);
        return;
    }
    // (a + m) / 2, with the carry of the sum shifted in at the top.
    const limb carry = limbs::add(r, a, m_);
    shift_right(r, r, 1);
    r[n - 1] |= carry << (limb_bits - 1);
}

void montgomery::mul_small(span r, view a, limb c) const noexcept
{
    std::fill(r.begin(), r.end(), 0);
    for (auto i = std::bit_width(c); i-- > 0;) {
        add(r, r, r);
        if ((c >> i & 1) != 0) {
            add(r, r, a);
        }
    }
}

unsigned window_bits(std::size_t bits) noexcept
{
    // Exponent sizes from which one more bit of window pays: a k-bit window
    // costs about bits / (k + 1) products after 2^(k - 1) to fill the table.
    constexpr std::array<std::size_t, 7> wider_from{8, 25, 81, 241, 673, 1793, 4609};
    return 1 + static_cast<unsigned>(std::count_if(wider_from.begin(), wider_from.end(),
                                                   [bits](std::size_t from) { return bits >= from; }));
}

} // namespace bignum::limbs
