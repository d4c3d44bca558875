// SPDX-License-Identifier: MIT
// Greatest common divisors, the extended gcd and inverses of limb spans, by
// Lehmer's reduction (lehmer.h) down to one limb, then by words.

#include "lehmer.h"
#include "limbs.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace bignum::limbs {

namespace {

using lehmer::matrix;
using lehmer::operands;

// The binary gcd of two words, not both zero.
limb word_gcd(limb a, limb b) noexcept
{
    if (a == 0 || b == 0) {
        return a | b;
    }
    const int twos = std::countr_zero(a | b);
    a >>= std::countr_zero(a);
    do {
        b >>= std::countr_zero(b);
        if (a > b) {
            std::swap(a, b);
        }
        b -= a;
    } while (b != 0);
    return a << twos;
}

std::size_t copied(span r, view a) noexcept
{
    std::copy(a.begin(), a.end(), r.begin());
    return a.size();
}

// The magnitudes of the cofactors of a, s0 and s1, in x0 = s0 a + t0 b and
// x1 = s1 a + t1 b. They start at 1 and 0, and s0 >= 0 >= s1 throughout:
// every step adds a multiple of one magnitude to the other. Neither exceeds
// b, which bounds the room.
class cofactors {
public:
    explicit cofactors(std::size_t b_size) : work_(2 * (b_size + 2))
    {
        const span all = work_.all();
        std::fill(all.begin(), all.end(), limb{0});
        u_ = {all.first(b_size + 2), all.last(b_size + 2)};
        u_[0][0] = 1;
    }

    void start(const operands& /*pair*/) noexcept {}
    void reduced(std::size_t /*i*/, limb /*q*/) noexcept {}

    // s0 <- m11 s0 + m01 s1 and s1 <- m10 s0 + m00 s1 in one pass; each
    // carry is a wide, as a sum of two products' high limbs may pass a limb.
    void applied(const matrix& m) noexcept
    {
        const std::size_t n = std::max(size_[0], size_[1]);
        wide c0 = 0;
        wide c1 = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const limb s0 = u_[0][i];
            const limb s1 = u_[1][i];
            u_[0][i] = combined(m.m11, s0, m.m01, s1, c0);
            u_[1][i] = combined(m.m10, s0, m.m00, s1, c1);
        }
        settle(0, n, c0);
        settle(1, n, c1);
    }

    // s_i <- s_i + q s_(1-i).
    void divided(std::size_t i, view q)
    {
        const view other = magnitude(1 - i);
        if (other.empty() || q.empty()) {
            return;
        }
        scratch product(q.size() + other.size());
        mul(product.all(), q, other);
        const view p = trimmed(product.all());
        const view own = magnitude(i);
        const span sum = u_.at(i).first(std::max(own.size(), p.size()));
        const limb carry = own.size() >= p.size() ? add(sum, own, p) : add(sum, p, own);
        settle(i, sum.size(), carry);
    }

    [[nodiscard]] view magnitude(std::size_t i) const noexcept { return u_.at(i).first(size_.at(i)); }

private:
    // s_i's limbs from n on are the carry.
    void settle(std::size_t i, std::size_t n, wide carry) noexcept
    {
        const span u = u_.at(i);
        u[n] = low_half(carry);
        u[n + 1] = high_half(carry);
        size_.at(i) = trimmed(u.first(n + 2)).size();
    }

    // The next limb of x a + y b + carry, the carry moving on.
    static limb combined(limb x, limb a, limb y, limb b, wide& carry) noexcept
    {
        const wide first = wide{x} * a + low_half(carry);
        const wide second = wide{y} * b + low_half(first);
        carry = (carry >> limb_bits) + high_half(first) + high_half(second);
        return low_half(second);
    }

    scratch work_;
    std::array<span, 2> u_;
    std::array<std::size_t, 2> size_{1, 0};
};

// g = s a + t b for normalised, non-zero a and b, with |s| <= b / g.
class extended {
public:
    extended(view a, view b) : pair_(a, b), s_(b.size())
    {
        lehmer::run(pair_, s_);
        if (pair_.value(0).empty() || pair_.value(1).empty()) {
            last_ = pair_.value(0).empty() ? 1 : 0;
            return;
        }
        // The last limb by Euclid's steps on words, to the end.
        std::array<limb, 2> w{pair_.value(0)[0], pair_.value(1)[0]};
        lehmer::no_observer none;
        s_.applied(lehmer::reduce(w, limb{0}, none));
        last_ = w[0] == 0 ? 1 : 0;
        word_ = w.at(last_);
    }
    extended(const extended&) = delete;
    extended& operator=(const extended&) = delete;
    extended(extended&&) = delete;
    extended& operator=(extended&&) = delete;
    ~extended() = default;

    [[nodiscard]] view g() const noexcept { return word_ != 0 ? view(&word_, 1) : pair_.value(last_); }
    [[nodiscard]] view s() const noexcept { return s_.magnitude(last_); }
    // The second value's cofactor is the negative one.
    [[nodiscard]] bool s_negative() const noexcept { return last_ == 1; }

private:
    operands pair_;
    cofactors s_;
    std::size_t last_ = 0;
    limb word_ = 0; // g when the words ended the reduction
};

bool is_one(view a) noexcept { return a.size() == 1 && a[0] == 1; }

// b / g for g dividing b, normalised: b itself for g = 1, else in the
// first limbs of work, which has 2 b.size() + g.size().
view quotient(span work, view b, view g)
{
    if (is_one(g)) {
        return b;
    }
    const span q = work.first(b.size() - g.size() + 1);
    divrem(q, work.last(g.size()), b, g);
    return trimmed(q);
}

} // namespace

std::size_t gcd(span r, view a, view b)
{
    if (a.empty() || b.empty()) {
        return copied(r, a.empty() ? b : a);
    }
    operands pair(a, b);
    lehmer::no_observer none;
    lehmer::run(pair, none);
    const view x0 = pair.value(0);
    const view x1 = pair.value(1);
    if (x0.empty() || x1.empty()) {
        return copied(r, x0.empty() ? x1 : x0);
    }
    r[0] = word_gcd(x0[0], x1[0]);
    return 1;
}

gcd_ext_result gcd_ext(span g, span s, view a, view b)
{
    if (b.empty()) {
        if (!a.empty()) {
            s[0] = 1;
        }
        return {copied(g, a), a.empty() ? 0U : 1U, false};
    }
    if (a.empty()) {
        return {copied(g, b), 0, false};
    }
    const extended e(a, b);
    scratch work(2 * b.size() + e.g().size());
    const view c = quotient(work.all(), b, e.g());
    // s is determined modulo c: its representative in (-c/2, c/2].
    view sv = e.s();
    bool negative = e.s_negative();
    const span rest = work.all().subspan(b.size(), c.size());
    sub(rest, c, sv);
    const view other = trimmed(rest);
    const int order = compare(other, sv);
    if (order < 0 || (order == 0 && negative)) {
        sv = other;
        negative = !negative;
    }
    return {copied(g, e.g()), copied(s, sv), negative && !sv.empty()};
}

bool inverse(span r, view a, view m)
{
    if (a.empty()) {
        return false;
    }
    const extended e(a, m);
    if (!is_one(e.g())) {
        return false;
    }
    const view s = e.s();
    std::fill(r.begin(), r.end(), limb{0});
    if (e.s_negative()) {
        sub(r, m, s);
    } else {
        std::copy(s.begin(), s.end(), r.begin());
    }
    return true;
}

} // namespace bignum::limbs
