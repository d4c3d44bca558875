// SPDX-License-Identifier: MIT
// Powers and roots: pow by squaring, isqrt and iroot by Newton's
// iteration at doubling precision.

#include "internals.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <stdexcept>

namespace bignum {

integer pow(const integer& x, std::uint64_t n)
{
    // Refused before any work when even the bits of the result cannot be
    // counted.
    const std::uint64_t bits = x.bit_length();
    if (bits > 1 && n > (std::numeric_limits<std::uint64_t>::max() - 1) / (bits - 1)) {
        throw std::length_error("bignum: a power of a " + std::to_string(bits) + "-bit number to the " +
                                std::to_string(n) + " is larger than any size");
    }
    integer r = 1;
    for (auto i = std::bit_width(n); i-- > 0;) {
        r *= r;
        if ((n >> i & 1U) != 0) {
            r *= x;
        }
    }
    return r;
}

namespace {

// floor(x / y^e) for x >= 0 and y >= 1: 0 without computing y^e where
// y^e has more bits than x.
integer quotient_by_power(const integer& x, const integer& y, std::uint64_t e)
{
    const std::uint64_t bits = y.bit_length();
    if (bits > 1 && e > x.bit_length() / (bits - 1)) {
        return 0;
    }
    return x / pow(y, e);
}

// One Newton step towards the k-th root r of x from y > 0. From any y it
// lands at floor(r) or above (the arithmetic mean of y, ..., y and
// x / y^(k-1) is at least their geometric mean); from y = r + e above r it
// lands below r + (k - 1) e^2 / (2r).
integer newton_step(const integer& x, const integer& y, std::uint64_t k)
{
    integer sum = quotient_by_power(x, y, k - 1);
    sum += y * (k - 1);
    return sum /= k;
}

// x^(1/k) from the top 64 bits of x through double logarithms: near the
// root, so that Newton starts with half the bits right.
integer root_estimate(const integer& x, std::uint64_t k)
{
    const std::uint64_t bits = x.bit_length();
    const std::uint32_t dropped = bits > 64 ? bits - 64 : 0;
    const double log2_root = (std::log2((x >> dropped).to_double()) + dropped) / static_cast<double>(k);
    const double whole = std::floor(log2_root);
    constexpr int mantissa_bits = 52;
    const integer mantissa(std::exp2(log2_root - whole + mantissa_bits));
    const auto shift = static_cast<std::int64_t>(whole) - mantissa_bits;
    return (shift >= 0 ? mantissa << shift : mantissa >> -shift) + 1;
}

// x mod 2^n for x >= 0.
integer low_bits(const integer& x, std::uint64_t n)
{
    const limbs::view m = integer_internals::magnitude(x);
    const std::size_t whole = n / limbs::limb_bits;
    if (whole >= m.size()) {
        return x;
    }
    const auto partial = static_cast<unsigned>(n % limbs::limb_bits);
    integer r;
    integer_internals::result room(r, whole + 1, false);
    const limbs::span out = room.limbs();
    std::copy_n(m.begin(), whole, out.begin());
    out[whole] = m[whole] & ((limbs::limb{1} << partial) - 1);
    room.commit(whole + 1, false);
    return r;
}

// The square root's floor of x < 2^64 with no rounding left: the double
// estimate is off by at most one either way.
std::uint64_t small_sqrt(std::uint64_t x)
{
    auto r = static_cast<std::uint64_t>(std::sqrt(static_cast<double>(x)));
    r = std::min<std::uint64_t>(r, 0xFFFFFFFF);
    while (r * r > x) {
        --r;
    }
    while (r < 0xFFFFFFFF && (r + 1) * (r + 1) <= x) {
        ++r;
    }
    return r;
}

// Below this many bits of root the double estimate and a few full Newton
// steps are cheaper than another halving.
constexpr std::uint64_t halving_root_bits = 64;

// floor(r) or floor(r) + 1 for the k-th root r of x, with k >= 3 below
// x's bit length. The root of x's top part, shifted up by s bits, lies
// above r by at most 2^(s+1); one Newton step leaves it below r + 1 while
// (k - 1) 2^(2s+1) < r, and r >= 2^m.
integer root_near(const integer& x, std::uint64_t k)
{
    const std::uint64_t m = (x.bit_length() - 1) / k;
    if (m < halving_root_bits) {
        // Newton from at or above the floor decreases until it reaches it.
        integer root = newton_step(x, root_estimate(x, k), k);
        for (integer next = newton_step(x, root, k); next < root; next = newton_step(x, root, k)) {
            root = std::move(next);
        }
        return root;
    }
    const std::uint64_t s = (m - 1 - std::bit_width(k - 1)) / 2;
    integer y = root_near(x >> k * s, k);
    ++y;
    y <<= s;
    return newton_step(x, y, k);
}

// The k-th root's floor for x >= 0: square roots by their own recursion.
integer root_floor(const integer& x, std::uint64_t k)
{
    if (k == 1 || x.sign() == 0) {
        return x;
    }
    if (k == 2) {
        return sqrt_rest(x).root;
    }
    if (k >= x.bit_length()) {
        return 1; // 1 <= x < 2^k
    }
    integer root = root_near(x, k);
    if (pow(root, k) > x) {
        --root;
    }
    return root;
}

} // namespace

// With h about a quarter of x's bits, the root s and rest r of x's top part
// x >> 2h give the root's top bits; the next h bits are one Newton step from
// s 2^h, which divides (r 2^h + the next h bits of x) by 2s. That step lands
// at the floor or one above (s has at least h bits), and the rest, negative
// exactly when it lands above, follows from the division's remainder.
root_and_rest sqrt_rest(const integer& x)
{
    const std::uint64_t n = x.bit_length();
    if (n <= 64) {
        const auto value = x.to<std::uint64_t>();
        const std::uint64_t root = small_sqrt(value);
        return {root, value - root * root};
    }
    const std::uint64_t h = n / 4;
    auto [root, rest] = sqrt_rest(x >> 2 * h);
    const integer low = low_bits(x, 2 * h);
    rest <<= h;
    rest += low >> h;
    auto [q, u] = divmod(rest, root << 1);
    root <<= h;
    root += q;
    u <<= h;
    u += low_bits(low, h);
    u -= q * q;
    while (u.sign() < 0) {
        u += root;
        --root;
        u += root;
    }
    return {std::move(root), std::move(u)};
}

integer isqrt(const integer& x)
{
    if (x.sign() < 0) {
        throw std::domain_error("bignum: isqrt of a negative number");
    }
    return sqrt_rest(x).root;
}

integer iroot(const integer& x, std::uint64_t k)
{
    if (k == 0) {
        throw std::domain_error("bignum: there is no 0th root");
    }
    if (x.sign() < 0) {
        if (k % 2 == 0) {
            throw std::domain_error("bignum: an even root of a negative value");
        }
        return -iroot(-x, k);
    }
    return root_floor(x, k);
}

} // namespace bignum
