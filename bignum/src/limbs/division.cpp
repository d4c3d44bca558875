// SPDX-License-Identifier: MIT
// Quotients and remainders of limb spans: one limb by a reciprocal, Knuth's
// schoolbook division with three-by-two estimates, and recursive division
// above a size where products beat it.

#include "limbs.h"

#include <algorithm>
#include <array>
#include <bit>

namespace bignum::limbs {

namespace {

// Divisor limbs from which splitting the division in halves (two recursive
// divisions and two half-size products) beats the schoolbook loop. Measured
// with 2n-by-n-limb divisions, n from 16 to 128, over products as fast as
// Karatsuba's and Toom's: thresholds from 24 to 48 came within 4% of each
// other, and the recursion was ahead of the loop by 12% at 48 limbs, 18% at
// 64 and 32% at 128. Over schoolbook products the two cost about the same.
constexpr std::size_t recursive_division_threshold = 40;

// Limbs of scratch kept on the stack, so that small divisions never allocate.
constexpr std::size_t on_stack_limbs = 96;

// Scratch limbs on the stack when few, else on the heap.
class work_area {
public:
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-member-init): scratch, each limb written before it is read
    explicit work_area(std::size_t n)
    {
        if (n > local_.size()) {
            heap_ = std::make_unique_for_overwrite<limb[]>(n);
        }
        limbs_ = {heap_ ? heap_.get() : local_.data(), n};
    }
    // The next n limbs, in order of asking.
    [[nodiscard]] span take(std::size_t n) noexcept
    {
        const span part = limbs_.first(n);
        limbs_ = limbs_.subspan(n);
        return part;
    }

private:
    std::array<limb, on_stack_limbs> local_;
    std::unique_ptr<limb[]> heap_;
    span limbs_;
};

// The two-limb value hi:lo.
[[nodiscard]] wide join(limb hi, limb lo) noexcept { return wide{hi} << limb_bits | lo; }

// floor((B^2 - 1) / d) - B for a normalised d (top bit set), B = 2^limb_bits:
// the one hardware division of a division by d.
[[nodiscard]] limb reciprocal(limb d) noexcept { return static_cast<limb>(join(~d, ~limb{0}) / d); }

// q and r of (u1:u0) / d for normalised d and u1 < d, with its reciprocal v:
// one product and two rare corrections instead of a hardware division
// (Möller and Granlund, "Improved division by invariant integers").
struct limb_quotient {
    limb q;
    limb r;
};
[[nodiscard]] limb_quotient divide_2by1(limb u1, limb u0, limb d, limb v) noexcept
{
    const wide estimate = wide{v} * u1 + join(u1, u0);
    limb q = high_half(estimate) + 1;
    limb r = u0 - q * d;
    if (r > low_half(estimate)) {
        --q;
        r += d;
    }
    if (r >= d) [[unlikely]] {
        ++q;
        r -= d;
    }
    return {q, r};
}

// The divisor of a one-limb division, normalised, with its reciprocal.
struct limb_divisor {
    unsigned shift;
    limb d;
    limb v;
    explicit limb_divisor(limb divisor) noexcept
        : shift(static_cast<unsigned>(std::countl_zero(divisor))), d(divisor << shift), v(reciprocal(d))
    {
    }
};

// a / d limb by limb from the top, each quotient limb handed to `store`
// with its index, each limb of a read before its quotient limb is stored
// (so that q may be a); returns a % d. The dividend is shifted as d is, on
// the fly.
template <class Store>
limb divide_by_limb(view a, limb divisor, Store store) noexcept
{
    const limb_divisor d(divisor);
    if (a.empty()) {
        return 0;
    }
    const std::size_t top = a.size() - 1;
    limb r = d.shift == 0 ? 0 : a[top] >> (limb_bits - d.shift);
    for (std::size_t i = top + 1; i-- > 0;) {
        limb u = a[i] << d.shift;
        if (d.shift != 0 && i > 0) {
            u |= a[i - 1] >> (limb_bits - d.shift);
        }
        const limb_quotient step = divide_2by1(r, u, d.d, d.v);
        store(i, step.q);
        r = step.r;
    }
    return r >> d.shift;
}

// floor((B^3 - 1) / (d1:d0)) - B for normalised d1: the reciprocal of d1,
// corrected for d0.
[[nodiscard]] limb reciprocal_3by2(limb d1, limb d0) noexcept
{
    limb v = reciprocal(d1);
    limb p = d1 * v + d0;
    if (p < d0) {
        --v;
        if (p >= d1) {
            --v;
            p -= d1;
        }
        p -= d1;
    }
    const wide t = wide{v} * d0;
    p += high_half(t);
    if (p < high_half(t)) {
        --v;
        if (join(p, low_half(t)) >= join(d1, d0)) {
            --v;
        }
    }
    return v;
}

// The top two limbs of a normalised divisor of two or more limbs, and their
// reciprocal: what every quotient limb's estimate needs.
struct top_of_divisor {
    limb d1;
    limb d0;
    limb v;
    explicit top_of_divisor(view d) noexcept : d1(d[d.size() - 1]), d0(d[d.size() - 2]), v(reciprocal_3by2(d1, d0)) {}
};

// q and r of (u2:u1:u0) / (d1:d0) for (u2:u1) < (d1:d0): the quotient limb
// exact for the top three limbs, so at most one too large for the whole.
struct wide_quotient {
    limb q;
    wide r;
};
[[nodiscard]] wide_quotient divide_3by2(limb u2, limb u1, limb u0, const top_of_divisor& d) noexcept
{
    const wide estimate = wide{d.v} * u2 + join(u2, u1);
    limb q = high_half(estimate);
    const limb r1 = u1 - q * d.d1;
    const wide dd = join(d.d1, d.d0);
    wide r = join(r1, u0) - wide{d.d0} * q - dd;
    ++q;
    if (high_half(r) >= low_half(estimate)) {
        --q;
        r += dd;
    }
    if (r >= dd) [[unlikely]] {
        ++q;
        r -= dd;
    }
    return {q, r};
}

// Knuth's Algorithm D (TAOCP vol. 2, 4.3.1) on a normalised d of two or
// more limbs: u = q d + r, q.size() == u.size() - d.size(); the remainder
// is left in u's low d.size() limbs. Returns 1 when u's top d.size() limbs
// are d or more (the quotient's limb above q), else 0.
limb divide_schoolbook(span q, span u, view d, const top_of_divisor& top) noexcept
{
    const std::size_t n = d.size();
    const span high = u.subspan(q.size(), n);
    const limb qh = compare_same_size(high, d) >= 0 ? 1 : 0;
    if (qh != 0) {
        sub(high, high, d);
    }
    // The top limb of the running remainder lives here, not in u.
    limb n1 = u[q.size() + n - 1];
    for (std::size_t j = q.size(); j-- > 0;) {
        const limb n0 = u[j + n - 1];
        limb digit = ~limb{0};
        if (n1 == top.d1 && n0 == top.d0) [[unlikely]] {
            // The estimate would not fit a limb; B - 1 is then exact.
            submul_1(u.subspan(j, n), d, digit);
            n1 = u[j + n - 1];
        } else {
            const wide_quotient estimate = divide_3by2(n1, n0, u[j + n - 2], top);
            digit = estimate.q;
            const limb borrow = submul_1(u.subspan(j, n - 2), d.first(n - 2), digit);
            const limb r0 = low_half(estimate.r);
            limb r1 = high_half(estimate.r);
            const limb borrow_of_r0 = r0 < borrow ? 1 : 0;
            u[j + n - 2] = r0 - borrow;
            const bool negative = r1 < borrow_of_r0;
            r1 -= borrow_of_r0;
            if (negative) [[unlikely]] {
                // The add-back step: the estimate was one too large.
                --digit;
                const span low = u.subspan(j, n - 1);
                r1 += top.d1 + add(low, low, d.first(n - 1));
            }
            n1 = r1;
        }
        q[j] = digit;
    }
    u[n - 1] = n1;
    return qh;
}

// Subtracts from the running remainder r the product of the quotient
// limbs q found so far (qh the limb above them) and the divisor limbs
// `rest` they have not met yet, then adds d back, decrementing q, while
// the remainder is negative: the quotient from the divisor's top limbs is
// at most two too large. Returns qh after the corrections.
limb settle(span q, limb qh, span r, view d, view rest, span tmp)
{
    const span product = tmp.first(q.size() + rest.size());
    mul(product, q, rest);
    limb borrow = sub(r, r, product);
    if (qh != 0) {
        const span above = r.subspan(q.size(), rest.size());
        borrow += sub(above, above, rest);
    }
    while (borrow != 0) {
        qh -= sub_1(q, q, 1);
        borrow -= add(r, r, d);
    }
    return qh;
}

// u = q d + r for u.size() == 2 d.size() == 2 q.size(), normalised d, in
// halves (Burnikel and Ziegler): the top half of q from the top half of d,
// corrected for d's low half, then the low half likewise. The remainder is
// left in u's low half; tmp holds d.size() limbs. Returns the quotient's
// limb above q, as divide_schoolbook does.
limb divide_recursive(span q, span u, view d, const top_of_divisor& top, span tmp)
{
    const std::size_t n = d.size();
    if (n < recursive_division_threshold) {
        return divide_schoolbook(q, u, d, top);
    }
    const std::size_t lo = n / 2;
    const std::size_t hi = n - lo;
    const span q_high = q.subspan(lo, hi);
    limb qh = divide_recursive(q_high, u.subspan(2 * lo, 2 * hi), d.subspan(lo), top, tmp);
    qh = settle(q_high, qh, u.subspan(lo, n), d, d.first(lo), tmp);
    const span q_low = q.first(lo);
    const limb ql = divide_recursive(q_low, u.subspan(hi, 2 * lo), d.subspan(hi), top, tmp);
    settle(q_low, ql, u.first(n), d, d.first(hi), tmp);
    return qh;
}

// u = q d + r for fewer quotient limbs than d has: the quotient from d's
// top q.size() limbs, then corrected for the rest. u.size() == d.size() +
// q.size(), its top d.size() limbs below d.
void divide_short_quotient(span q, span u, view d, const top_of_divisor& top, span tmp)
{
    const std::size_t k = q.size();
    const std::size_t n = d.size();
    const limb qh = divide_recursive(q, u.subspan(n - k, 2 * k), d.subspan(n - k), top, tmp);
    settle(q, qh, u.first(n), d, d.first(n - k), tmp);
}

// Whether divide_normalised may multiply, and so allocate.
[[nodiscard]] bool divides_recursively(std::size_t quotient_size, std::size_t divisor_size) noexcept
{
    return divisor_size >= recursive_division_threshold && quotient_size >= recursive_division_threshold;
}

// u = q d + r for normalised d of two or more limbs, u's top d.size() limbs
// below d, q.size() == u.size() - d.size(); the remainder is left in u's
// low d.size() limbs. Large quotients go in blocks of d.size() limbs from
// the top, the first block taking what is left over.
void divide_normalised(span q, span u, view d, span tmp)
{
    const top_of_divisor top(d);
    const std::size_t n = d.size();
    if (!divides_recursively(q.size(), n)) {
        divide_schoolbook(q, u, d, top);
        return;
    }
    std::size_t j = q.size();
    const std::size_t first = j % n;
    if (first != 0) {
        j -= first;
        const span block = q.subspan(j, first);
        const span window = u.subspan(j, n + first);
        if (first < recursive_division_threshold) {
            divide_schoolbook(block, window, d, top);
        } else {
            divide_short_quotient(block, window, d, top, tmp);
        }
    }
    while (j > 0) {
        j -= n;
        divide_recursive(q.subspan(j, n), u.subspan(j, 2 * n), d, top, tmp);
    }
}

} // namespace

limb divrem_1(span q, view a, limb d) noexcept
{
    return divide_by_limb(a, d, [q](std::size_t i, limb digit) { q[i] = digit; });
}

limb mod_1(view a, limb d) noexcept
{
    return divide_by_limb(a, d, [](std::size_t, limb) {});
}

// The dividend and divisor are shifted so that the divisor's top bit is set,
// the dividend gaining a limb so that its top limbs are below the divisor;
// the remainder is shifted back.
void divrem(span q, span r, view a, view d)
{
    const std::size_t n = d.size();
    if (n == 1) {
        r[0] = divrem_1(q, a, d[0]);
        return;
    }
    const auto s = static_cast<unsigned>(std::countl_zero(d[n - 1]));
    const bool recursive = divides_recursively(q.size(), n);
    // When recursive, the quotient is found in scratch too: products may
    // allocate, and nothing is written before they all have.
    work_area work(a.size() + 1 + (s == 0 ? 0 : n) + (recursive ? n + q.size() : 0));
    const span u = work.take(a.size() + 1);
    view v = d;
    if (s == 0) {
        std::copy(a.begin(), a.end(), u.begin());
        u[a.size()] = 0;
    } else {
        u[a.size()] = shift_left(u.first(a.size()), a, s);
        const span shifted = work.take(n);
        shift_left(shifted, d, s);
        v = shifted;
    }
    if (recursive) {
        const span tmp = work.take(n);
        const span quotient = work.take(q.size());
        divide_normalised(quotient, u, v, tmp);
        std::copy(quotient.begin(), quotient.end(), q.begin());
    } else {
        divide_normalised(q, u, v, {});
    }
    if (s == 0) {
        std::copy_n(u.begin(), n, r.begin());
    } else {
        shift_right(r, u.first(n), s);
    }
}

void mod(span r, view a, view d)
{
    scratch q(a.size() - d.size() + 1);
    divrem(q.all(), r, a, d);
}

} // namespace bignum::limbs
