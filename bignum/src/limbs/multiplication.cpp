// SPDX-License-Identifier: MIT
// Products of limb spans: the word kernels, schoolbook, and the choice of
// method by size.

#include "limbs.h"

#include <algorithm>

namespace bignum::limbs {

limb mul_1(span r, view a, limb b) noexcept
{
    limb carry = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const wide p = wide{a[i]} * b + carry;
        r[i] = low_half(p);
        carry = high_half(p);
    }
    return carry;
}

limb addmul_1(span r, view a, limb b) noexcept
{
    limb carry = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        // a * b + r + carry < 2^(2 limb_bits): no overflow of the wide sum.
        const wide p = wide{a[i]} * b + r[i] + carry;
        r[i] = low_half(p);
        carry = high_half(p);
    }
    return carry;
}

limb submul_1(span r, view a, limb b) noexcept
{
    limb borrow = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const wide p = wide{a[i]} * b + borrow;
        const limb low = low_half(p);
        const limb d = r[i] - low;
        borrow = high_half(p) + (r[i] < low ? 1 : 0);
        r[i] = d;
    }
    return borrow;
}

void mul_basecase(span r, view a, view b) noexcept
{
    r[a.size()] = mul_1(r.first(a.size()), a, b[0]);
    for (std::size_t j = 1; j < b.size(); ++j) {
        r[a.size() + j] = addmul_1(r.subspan(j, a.size()), a, b[j]);
    }
}

void sqr_basecase(span r, view a) noexcept { mul_basecase(r, a, a); }

void mul(span r, view a, view b)
{
    if (a.size() < b.size()) {
        std::swap(a, b);
    }
    mul_basecase(r, a, b);
}

void sqr(span r, view a) { sqr_basecase(r, a); }

} // namespace bignum::limbs
