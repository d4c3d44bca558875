// SPDX-License-Identifier: MIT
// Greatest common divisors and inverses of limb spans.

#include "limbs.h"

#include <algorithm>
#include <vector>

namespace bignum::limbs {

namespace {

using number = std::vector<limb>;

number remainder_of(view a, view d)
{
    number r(d.size());
    if (a.size() < d.size()) {
        std::copy(a.begin(), a.end(), r.begin());
    } else {
        mod(r, a, d);
    }
    const view t = trimmed(r);
    r.resize(t.size());
    return r;
}

number quotient_of(view a, view d)
{
    if (a.size() < d.size()) {
        return {};
    }
    number q(a.size() - d.size() + 1);
    number r(d.size());
    divrem(q, r, a, d);
    q.resize(trimmed(q).size());
    return q;
}

// a + b, normalised.
number sum_of(view a, view b)
{
    if (a.size() < b.size()) {
        std::swap(a, b);
    }
    number s(a.size() + 1);
    s[a.size()] = add(std::span(s).first(a.size()), a, b);
    s.resize(trimmed(s).size());
    return s;
}

number product_of(view a, view b)
{
    if (a.empty() || b.empty()) {
        return {};
    }
    number p(a.size() + b.size());
    mul(p, a, b);
    p.resize(trimmed(p).size());
    return p;
}

} // namespace

// Euclid's algorithm by long division.
std::size_t gcd(span r, view a, view b)
{
    number x(a.begin(), a.end());
    number y(b.begin(), b.end());
    while (!y.empty()) {
        number rest = remainder_of(x, y);
        x = std::move(y);
        y = std::move(rest);
    }
    std::copy(x.begin(), x.end(), r.begin());
    return x.size();
}

// The extended Euclid on (m, a), keeping only the coefficients of a, whose
// magnitudes grow as |t2| = |t0| + q |t1| while their signs alternate.
bool inverse(span r, view a, view m)
{
    number r0(m.begin(), m.end());
    number r1(a.begin(), a.end());
    number t0;
    number t1{1};
    bool t1_negative = false;
    while (!r1.empty() && !(r1.size() == 1 && r1[0] == 1)) {
        const number q = quotient_of(r0, r1);
        number r2 = remainder_of(r0, r1);
        number t2 = sum_of(t0, product_of(q, t1));
        r0 = std::move(r1);
        r1 = std::move(r2);
        t0 = std::move(t1);
        t1 = std::move(t2);
        t1_negative = !t1_negative;
    }
    if (r1.empty()) {
        return false;
    }
    std::fill(r.begin(), r.end(), 0);
    std::copy(t1.begin(), t1.end(), r.begin());
    if (t1_negative) {
        number mm(m.begin(), m.end());
        sub(r, mm, view(r.data(), r.size()));
    }
    return true;
}

} // namespace bignum::limbs
