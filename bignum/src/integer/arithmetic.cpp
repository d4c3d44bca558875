// SPDX-License-Identifier: MIT
// The value type's arithmetic on limbs: sums, products, truncating
// division, the bit operations on the two's complement, shifts and
// comparison. Each writes into the destination's own limbs where the limb
// routine allows it and they have room, else into fresh ones.

#include "internals.h"

#include <algorithm>
#include <array>
#include <functional>
#include <optional>

namespace bignum {

namespace {

using limb = limbs::limb;
using detail::operand;
using limbs::limb_bits;
using result = integer_internals::result;

limbs::view magnitude(operand x) noexcept { return integer_internals::magnitude(x); }

// r = a + b with signs.
void add(integer& target, operand a, operand b)
{
    if (a.size < b.size) {
        std::swap(a, b);
    }
    if (a.negative == b.negative) {
        result r(target, std::uint64_t{a.size} + 1, true);
        const limbs::span out = r.limbs();
        out[a.size] = limbs::add(out.first(a.size), magnitude(a), magnitude(b));
        r.commit(out.size(), a.negative);
        return;
    }
    if (limbs::compare(magnitude(a), magnitude(b)) < 0) {
        std::swap(a, b);
    }
    result r(target, a.size, true);
    limbs::sub(r.limbs(), magnitude(a), magnitude(b));
    r.commit(a.size, a.negative);
}

void multiply(integer& target, operand a, operand b)
{
    if (a.size == 0 || b.size == 0) {
        result(target, 0, true).commit(0, false);
        return;
    }
    if (a.size < b.size) {
        std::swap(a, b);
    }
    const bool negative = a.negative != b.negative;
    if (b.size == 1) {
        // In place allowed, and b's limb is read before anything is written.
        result r(target, std::uint64_t{a.size} + 1, true);
        const limbs::span out = r.limbs();
        out[a.size] = limbs::mul_1(out.first(a.size), magnitude(a), b.limbs[0]);
        r.commit(out.size(), negative);
        return;
    }
    const bool overlaps = integer_internals::holds(target, a) || integer_internals::holds(target, b);
    result r(target, std::uint64_t{a.size} + b.size, !overlaps);
    if (a.limbs == b.limbs && a.size == b.size) {
        limbs::sqr(r.limbs(), magnitude(a));
    } else {
        limbs::mul(r.limbs(), magnitude(a), magnitude(b));
    }
    r.commit(r.limbs().size(), negative);
}

// One limb of x's infinite two's complement after another, from the bottom.
class twos_complement {
public:
    explicit twos_complement(const operand& x) noexcept : x_(x) {}
    limb next() noexcept
    {
        const limb m = i_ < x_.size ? x_.limbs[i_] : 0;
        ++i_;
        if (!x_.negative) {
            return m;
        }
        // -m = ~m + 1, the carry running while the limbs are zero.
        const limb v = ~m + carry_;
        carry_ = carry_ != 0 && v == 0 ? 1 : 0;
        return v;
    }

private:
    operand x_;
    std::size_t i_ = 0;
    limb carry_ = 1;
};

template <class Combine>
void bitwise(integer& target, operand a, operand b, Combine combine)
{
    // One limb more than either holds only sign bits.
    const std::size_t n = std::max(a.size, b.size) + 1;
    result r(target, n, true);
    const limbs::span out = r.limbs();
    twos_complement x(a);
    twos_complement y(b);
    // Limb i of each operand is read before limb i of the output is written.
    for (limb& l : out) {
        const limb u = x.next();
        l = combine(u, y.next());
    }
    const bool negative = (out[n - 1] >> (limb_bits - 1)) != 0;
    if (negative) {
        std::ranges::transform(out, out.begin(), [](limb l) { return ~l; });
        limbs::add_1(out, out, 1);
    }
    r.commit(n, negative);
}

} // namespace

int integer::compare(operand a, operand b) noexcept
{
    if (a.negative != b.negative) {
        // Only non-zero values carry a sign.
        return a.negative ? -1 : 1;
    }
    const int c = limbs::compare(magnitude(a), magnitude(b));
    return a.negative ? -c : c;
}

void integer_internals::divide(integer* q, integer* r, operand a, operand d)
{
    if (d.size == 0) {
        raise_division_by_zero([&] { return "bignum: division of " + shown(a) + " by zero"; });
    }
    // All the room first, so that only routines that cannot have written
    // anything yet may raise.
    const bool small = a.size < d.size;
    const std::size_t q_size = small ? 0 : a.size - d.size + 1;
    const std::size_t r_size = small ? a.size : d.size;
    std::optional<result> quotient;
    std::optional<result> remainder;
    if (q != nullptr) {
        quotient.emplace(*q, q_size, !holds(*q, a) && !holds(*q, d));
    }
    if (r != nullptr) {
        // A small dividend is its own remainder, in place.
        remainder.emplace(*r, r_size, small || (!holds(*r, a) && !holds(*r, d)));
    }
    if (small) {
        if (remainder) {
            copy_limbs(magnitude(a), remainder->limbs().data());
        }
    } else if (d.size == 1) {
        const limb rest = quotient ? limbs::divrem_1(quotient->limbs(), magnitude(a), d.limbs[0])
                                   : limbs::mod_1(magnitude(a), d.limbs[0]);
        if (remainder) {
            remainder->limbs()[0] = rest;
        }
    } else if (!quotient) {
        limbs::mod(remainder->limbs(), magnitude(a), magnitude(d));
    } else if (remainder) {
        limbs::divrem(quotient->limbs(), remainder->limbs(), magnitude(a), magnitude(d));
    } else {
        // A remainder nobody asked for: on the stack when it is small.
        std::array<limb, 16> nearby{};
        std::optional<limbs::scratch> far;
        const limbs::span rest =
            d.size <= nearby.size() ? limbs::span(nearby).first(d.size) : far.emplace(d.size).all();
        limbs::divrem(quotient->limbs(), rest, magnitude(a), magnitude(d));
    }
    if (remainder) {
        remainder->commit(r_size, a.negative);
    }
    if (quotient) {
        quotient->commit(q_size, a.negative != d.negative);
    }
}

integer& integer::compute(op o, operand a, operand b)
{
    switch (o) {
    case op::add: add(*this, a, b); break;
    case op::subtract: add(*this, a, negated(b)); break;
    case op::multiply: multiply(*this, a, b); break;
    case op::divide: integer_internals::divide(this, nullptr, a, b); break;
    case op::remainder: integer_internals::divide(nullptr, this, a, b); break;
    case op::bit_and: bitwise(*this, a, b, std::bit_and<>()); break;
    case op::bit_or: bitwise(*this, a, b, std::bit_or<>()); break;
    case op::bit_xor: bitwise(*this, a, b, std::bit_xor<>()); break;
    }
    return *this;
}

integer& integer::add_limb(limb m, bool negative)
{
    limb* const d = data();
    const std::size_t n = size();
    if (n == 0) {
        d[0] = m;
        size_ = m == 0 ? 0 : negative ? -1 : 1;
        return *this;
    }
    const limb low = d[0];
    if ((size_ < 0) == negative) {
        // The magnitude grows by m.
        if (low + m >= m) {
            d[0] = low + m;
            return *this;
        }
        const limb* const carried = std::find_if(d + 1, d + n, [](limb l) { return l != ~limb{0}; });
        const auto stop = static_cast<std::size_t>(carried - d);
        if (stop == n) {
            // Out of the top: the room comes first, so that a refusal leaves the value.
            result r(*this, std::uint64_t{n} + 1, true);
            const limbs::span out = r.limbs();
            out[0] = low + m;
            std::fill(out.begin() + 1, out.begin() + static_cast<std::ptrdiff_t>(n), limb{0});
            out[n] = 1;
            r.commit(n + 1, negative);
            return *this;
        }
        d[0] = low + m;
        std::fill(d + 1, d + stop, limb{0});
        ++d[stop];
        return *this;
    }
    // The magnitude shrinks by m, or crosses zero when it is at most m.
    if (n == 1 && low <= m) {
        d[0] = m - low;
        size_ = d[0] == 0 ? 0 : negative ? -1 : 1;
        return *this;
    }
    d[0] = low - m;
    if (low >= m) {
        return *this;
    }
    // A magnitude of two limbs or more is above m: the borrow stops below its top.
    std::size_t i = 1;
    for (; d[i] == 0; ++i) {
        d[i] = ~limb{0};
    }
    --d[i];
    if (d[n - 1] == 0) {
        // Lost its top limb; a value that fits inline again moves there.
        result(*this, n, true).commit(n, size_ < 0);
    }
    return *this;
}

divmod_result divmod(const integer& a, const integer& b)
{
    divmod_result r;
    integer_internals::divide(&r.quotient, &r.remainder, integer_internals::view(a), integer_internals::view(b));
    return r;
}

void integer::shift_left(operand x, std::uint64_t count)
{
    if (x.size == 0) {
        result(*this, 0, true).commit(0, false);
        return;
    }
    const std::uint64_t offset = count / limb_bits;
    const auto bits = static_cast<unsigned>(count % limb_bits);
    const std::uint64_t n = std::min(offset, std::uint64_t{integer_internals::max_limbs}) + x.size + 1;
    result r(*this, n, true);
    const limbs::span out = r.limbs();
    // x moves up by whole limbs first (it may be these very limbs), then by
    // bits in place.
    const auto limbs_below = static_cast<std::size_t>(offset);
    copy_limbs(magnitude(x), out.data() + limbs_below);
    std::fill_n(out.begin(), limbs_below, 0);
    const limbs::span moved = out.subspan(limbs_below, x.size);
    out[limbs_below + x.size] = bits == 0 ? 0 : limbs::shift_left(moved, moved, bits);
    r.commit(out.size(), x.negative);
}

void integer::shift_right(operand x, std::uint64_t count)
{
    const std::uint64_t offset = count / limb_bits;
    const auto bits = static_cast<unsigned>(count % limb_bits);
    // A negative that loses set bits goes one further down.
    const bool floors =
        x.negative && (offset >= x.size || std::any_of(x.limbs, x.limbs + offset, [](limb l) { return l != 0; }) ||
                       (bits != 0 && (x.limbs[offset] << (limb_bits - bits)) != 0));
    const std::size_t kept = offset >= x.size ? 0 : x.size - static_cast<std::size_t>(offset);
    result r(*this, std::uint64_t{kept} + 1, true);
    const limbs::span out = r.limbs();
    copy_limbs(magnitude(x).last(kept), out.data());
    if (bits != 0 && kept != 0) {
        limbs::shift_right(out.first(kept), out.first(kept), bits);
    }
    out[kept] = 0;
    if (floors) {
        limbs::add_1(out, out, 1);
    }
    r.commit(out.size(), x.negative);
}

} // namespace bignum
