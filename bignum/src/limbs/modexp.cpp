// SPDX-License-Identifier: MIT
// Modular exponentiation of limb spans: Montgomery powering for an odd
// modulus; for m = m_odd 2^k, the powers modulo m_odd and modulo 2^k joined
// by the Chinese remainder theorem.

#include "limbs.h"
#include "montgomery.h"

#include <algorithm>

namespace bignum::limbs {

namespace {

// r = a b mod 2^(limb_bits r.size()), all three of one size; no overlap.
void mul_low(span r, view a, view b) noexcept
{
    const std::size_t n = r.size();
    mul_1(r, a, b[0]);
    for (std::size_t j = 1; j < n; ++j) {
        addmul_1(r.subspan(j), a.first(n - j), b[j]);
    }
}

// r = a^2 mod 2^(limb_bits n) for r.size() == a.size() == n, from work of
// n limbs; no overlap. Each product a_i a_j with i < j once, doubled, then
// the squares a_i^2: half the products of mul_low.
void sqr_low(span r, view a, span work) noexcept
{
    const std::size_t n = r.size();
    std::fill(r.begin(), r.end(), 0);
    for (std::size_t i = 0; 2 * i + 1 < n; ++i) {
        addmul_1(r.subspan(2 * i + 1), a.subspan(i + 1, n - 2 * i - 1), a[i]);
    }
    shift_left(r, r, 1);
    const span squares = work.first(n);
    for (std::size_t i = 0; 2 * i < n; ++i) {
        const wide square = wide{a[i]} * a[i];
        squares[2 * i] = low_half(square);
        if (2 * i + 1 < n) {
            squares[2 * i + 1] = high_half(square);
        }
    }
    add(r, r, squares);
}

// The ring of n-limb numbers modulo 2^(limb_bits n), for window_pow.
class low_limbs {
public:
    explicit low_limbs(std::size_t n) noexcept : n_(n) {}
    [[nodiscard]] std::size_t size() const noexcept { return n_; }
    [[nodiscard]] std::size_t work_size() const noexcept { return 2 * n_; }
    void mul(span r, view a, view b, span work) const noexcept
    {
        mul_low(work.first(n_), a, b);
        std::copy_n(work.begin(), n_, r.begin());
    }
    void sqr(span r, view a, span work) const noexcept
    {
        sqr_low(work.first(n_), a, work.subspan(n_));
        std::copy_n(work.begin(), n_, r.begin());
    }

private:
    std::size_t n_;
};

// Limbs that hold k bits.
std::size_t limbs_for(std::size_t k) noexcept { return (k + limb_bits - 1) / limb_bits; }

// r = b^e mod 2^k, r.size() == limbs_for(k), for normalised non-zero e.
// An odd b has an order dividing 2^(k - 2), so the low limbs of e do; an
// even one gives 0 from e >= k on.
void pow_low(span r, view b, view e, std::size_t k)
{
    const std::size_t n = r.size();
    const bool odd = !b.empty() && (b[0] & 1) != 0;
    if (!odd && (e.size() > 1 || e[0] >= k)) {
        std::fill(r.begin(), r.end(), 0);
        return;
    }
    scratch base(n);
    const std::size_t given = std::min(b.size(), n);
    std::copy_n(b.begin(), given, base.all().begin());
    std::fill(base.all().begin() + static_cast<std::ptrdiff_t>(given), base.all().end(), 0);
    const view exponent = trimmed(e.first(std::min(e.size(), n)));
    if (exponent.empty()) {
        std::fill(r.begin(), r.end(), 0);
        r[0] = 1;
    } else {
        window_pow(low_limbs(n), r, base.all(), exponent);
    }
    if (k % limb_bits != 0) {
        r[n - 1] &= (limb{1} << (k % limb_bits)) - 1;
    }
}

// r = a^-1 mod 2^(limb_bits r.size()) for odd a, r.size() <= a.size():
// Newton's iteration x = x (2 - a x) from the word inverse doubles the right
// bits each step.
void inverse_low(span r, view a)
{
    const std::size_t n = r.size();
    scratch room(2 * n);
    const span t = room.first(n);
    const span next = room.all().subspan(n);
    std::fill(r.begin(), r.end(), 0);
    r[0] = word_inverse(a[0]);
    for (std::size_t right = 1; right < n; right *= 2) {
        mul_low(t, a.first(n), r);
        // 2 - t as -(t - 2), modulo 2^(limb_bits n).
        sub_1(t, t, 2);
        std::transform(t.begin(), t.end(), t.begin(), [](limb x) { return ~x; });
        add_1(t, t, 1);
        mul_low(next, r, t);
        std::copy(next.begin(), next.end(), r.begin());
    }
}

// r = b^e mod m for odd m, b of any size, e normalised and non-zero.
void pow_odd(span r, view b, view e, view m)
{
    const montgomery ring(m);
    const std::size_t n = m.size();
    scratch room(2 * n + ring.work_size());
    const span base = room.first(n);
    const span power = room.all().subspan(n, n);
    ring.to_form(base, b);
    ring.pow(power, base, e);
    ring.from_form(r, power, room.all().subspan(2 * n));
}

// r = b^e mod m for even m = m_odd 2^k with m_odd > 1: x1 = b^e mod m_odd,
// x2 = b^e mod 2^k, and x = x1 + m_odd ((x2 - x1) m_odd^-1 mod 2^k).
void pow_even(span r, view b, view e, view m, std::size_t k)
{
    const std::size_t n = m.size();
    const std::size_t low = limbs_for(k);
    scratch room(3 * n + 4 * low);
    const span odd_part = room.first(n);
    std::fill(odd_part.begin(), odd_part.end(), 0);
    shift_right_bits(odd_part.first(n - k / limb_bits), m, k);
    const view m_odd = trimmed(odd_part);
    const span x1 = room.all().subspan(n, n);
    const span x2 = room.all().subspan(2 * n, low);
    const span odd_inverse = room.all().subspan(2 * n + low, low);
    const span t = room.all().subspan(2 * n + 2 * low, low);
    const span product = room.all().subspan(2 * n + 3 * low, n + low);
    std::fill(x1.begin(), x1.end(), 0);
    pow_odd(x1.first(m_odd.size()), b, e, m_odd);
    pow_low(x2, b, e, k);
    inverse_low(odd_inverse, m_odd.size() >= low ? m_odd : view(odd_part.first(low)));
    sub(x2, x2, x1.first(low));
    mul_low(t, x2, odd_inverse);
    if (k % limb_bits != 0) {
        t[low - 1] &= (limb{1} << (k % limb_bits)) - 1;
    }
    std::fill(product.begin(), product.end(), 0);
    mul(product.first(m_odd.size() + low), m_odd, t);
    add(product, product, x1);
    std::copy_n(product.begin(), n, r.begin());
}

} // namespace

void pow_mod(span r, view b, view e, view m)
{
    b = trimmed(b);
    e = trimmed(e);
    if (e.empty()) {
        std::fill(r.begin(), r.end(), 0);
        r[0] = 1;
        return;
    }
    const std::size_t k = trailing_zeros(m);
    if (k == 0) {
        pow_odd(r, b, e, m);
    } else if (k + 1 == bit_length(m)) {
        const std::size_t low = limbs_for(k);
        pow_low(r.first(low), b, e, k);
        std::fill(r.begin() + static_cast<std::ptrdiff_t>(low), r.end(), 0);
    } else {
        pow_even(r, b, e, m, k);
    }
}

} // namespace bignum::limbs
