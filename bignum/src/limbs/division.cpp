// SPDX-License-Identifier: MIT
// Quotients and remainders of limb spans.

#include "limbs.h"

#include <algorithm>
#include <bit>

namespace bignum::limbs {

limb divrem_1(span q, view a, limb d) noexcept
{
    limb rem = 0;
    for (std::size_t i = a.size(); i-- > 0;) {
        const wide n = wide{rem} << limb_bits | a[i];
        q[i] = static_cast<limb>(n / d);
        rem = static_cast<limb>(n % d);
    }
    return rem;
}

limb mod_1(view a, limb d) noexcept
{
    limb rem = 0;
    for (std::size_t i = a.size(); i-- > 0;) {
        rem = static_cast<limb>((wide{rem} << limb_bits | a[i]) % d);
    }
    return rem;
}

// Knuth, TAOCP vol. 2, 4.3.1, Algorithm D: u and v normalised so that v's
// top bit is set; each quotient limb is estimated from the top two limbs of
// the remainder and the top limb of v, corrected with v's second limb, and
// the rare estimate one too large is undone by adding v back.
void divrem(span q, span r, view a, view d)
{
    const std::size_t n = d.size();
    const std::size_t m = a.size() - n;
    if (n == 1) {
        r[0] = divrem_1(q, a, d[0]);
        return;
    }
    const auto s = static_cast<unsigned>(std::countl_zero(d[n - 1]));
    scratch work(a.size() + 1 + n);
    const span u = work.first(a.size() + 1);
    const span v = work.all().subspan(a.size() + 1, n);
    if (s == 0) {
        std::copy(a.begin(), a.end(), u.begin());
        u[a.size()] = 0;
        std::copy(d.begin(), d.end(), v.begin());
    } else {
        u[a.size()] = shift_left(u.first(a.size()), a, s);
        shift_left(v, d, s);
    }
    const limb v1 = v[n - 1];
    const limb v2 = v[n - 2];
    for (std::size_t j = m + 1; j-- > 0;) {
        const wide top = wide{u[j + n]} << limb_bits | u[j + n - 1];
        wide qhat = top / v1;
        wide rhat = top % v1;
        while (qhat >> limb_bits != 0 || qhat * v2 > (rhat << limb_bits | u[j + n - 2])) {
            --qhat;
            rhat += v1;
            if (rhat >> limb_bits != 0) {
                break;
            }
        }
        auto digit = static_cast<limb>(qhat);
        const span window = u.subspan(j, n);
        const limb borrow = submul_1(window, v, digit);
        if (u[j + n] < borrow) {
            // The add-back step: the estimate was one too large.
            --digit;
            u[j + n] += add(window, window, v);
        }
        u[j + n] -= borrow;
        q[j] = digit;
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
