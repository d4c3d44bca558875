// SPDX-License-Identifier: MIT
// Sizes, comparison, sums, differences and shifts of limb spans.

#include "limbs.h"

namespace bignum::limbs {

view trimmed(view a) noexcept
{
    std::size_t n = a.size();
    while (n > 0 && a[n - 1] == 0) {
        --n;
    }
    return a.first(n);
}

int compare_same_size(view a, view b) noexcept
{
    for (std::size_t i = a.size(); i-- > 0;) {
        if (a[i] != b[i]) {
            return a[i] < b[i] ? -1 : 1;
        }
    }
    return 0;
}

int compare(view a, view b) noexcept
{
    if (a.size() != b.size()) {
        return a.size() < b.size() ? -1 : 1;
    }
    return compare_same_size(a, b);
}

limb add_1(span r, view a, limb b) noexcept
{
    limb carry = b;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const limb s = a[i] + carry;
        carry = s < carry ? 1 : 0;
        r[i] = s;
    }
    return carry;
}

limb add(span r, view a, view b) noexcept
{
    limb carry = 0;
    std::size_t i = 0;
    for (; i < b.size(); ++i) {
        const limb s = a[i] + b[i];
        const limb t = s + carry;
        carry = static_cast<limb>(s < a[i]) | static_cast<limb>(t < s);
        r[i] = t;
    }
    return add_1(r.subspan(i), a.subspan(i), carry);
}

limb sub_1(span r, view a, limb b) noexcept
{
    limb borrow = b;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const limb d = a[i] - borrow;
        borrow = a[i] < borrow ? 1 : 0;
        r[i] = d;
    }
    return borrow;
}

limb sub(span r, view a, view b) noexcept
{
    limb borrow = 0;
    std::size_t i = 0;
    for (; i < b.size(); ++i) {
        const limb d = a[i] - b[i];
        const limb e = d - borrow;
        borrow = static_cast<limb>(a[i] < b[i]) | static_cast<limb>(d < borrow);
        r[i] = e;
    }
    return sub_1(r.subspan(i), a.subspan(i), borrow);
}

limb shift_left(span r, view a, unsigned s) noexcept
{
    limb out = 0;
    for (std::size_t i = a.size(); i-- > 0;) {
        const limb v = a[i];
        if (i + 1 == a.size()) {
            out = v >> (limb_bits - s);
        } else {
            r[i + 1] |= v >> (limb_bits - s);
        }
        r[i] = v << s;
    }
    return out;
}

limb shift_right(span r, view a, unsigned s) noexcept
{
    limb out = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const limb v = a[i];
        if (i == 0) {
            out = v << (limb_bits - s);
        } else {
            r[i - 1] |= v << (limb_bits - s);
        }
        r[i] = v >> s;
    }
    return out;
}

} // namespace bignum::limbs
