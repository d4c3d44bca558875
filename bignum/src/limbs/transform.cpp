// SPDX-License-Identifier: MIT
// Products of large operands by number-theoretic transforms: each limb is one
// coefficient, the cyclic convolution is taken modulo three primes below
// 2^62 of the form c 2^50 + 1 and put together by the Chinese remainder
// theorem. The three primes' product exceeds 2^183, so every convolution
// coefficient (below length x 2^128) comes back exactly for any length up to
// 2^50.
//
// Values are kept lazily in [0, 2p): 4p < 2^64 leaves room for a sum and a
// difference before reduction. Twiddles multiply by Shoup's method, the
// pointwise products and constants by Montgomery's (R = 2^64). The forward transform runs by decimation in
// frequency and leaves its output in bit-reversed order; the inverse runs by
// decimation in time from that order, so no permutation is ever made.

#include "products.h"

#include <algorithm>
#include <array>
#include <bit>
#include <memory>
#include <new>
#include <span>
#include <utility>

namespace bignum::limbs::products {

#if defined(__SIZEOF_INT128__)

namespace {

static_assert(limb_bits == 64);
using u64 = std::uint64_t;

// The arithmetic of one prime p < 2^62.
struct prime_field {
    u64 p;
    u64 minus_p_inverse; // -p^-1 mod 2^64
    u64 r_squared;       // R^2 mod p
    u64 generator;       // of the multiplicative group

    // x y / R mod p in [0, 2p), for x y < 2^64 p.
    [[nodiscard]] constexpr u64 mul(u64 x, u64 y) const noexcept
    {
        // Written out: the limb helpers are not constexpr.
        const wide t = wide{x} * y;
        const u64 m = static_cast<u64>(t) * minus_p_inverse;
        return static_cast<u64>((t + wide{m} * p) >> 64);
    }
    // [0, 2p) to [0, p).
    [[nodiscard]] constexpr u64 reduced(u64 x) const noexcept { return std::min(x, x - p); }
    [[nodiscard]] constexpr u64 to_montgomery(u64 x) const noexcept { return reduced(mul(x, r_squared)); }
    // x^e in Montgomery form, x in Montgomery form.
    [[nodiscard]] constexpr u64 power(u64 x, u64 e) const noexcept
    {
        u64 result = to_montgomery(1);
        for (; e != 0; e >>= 1) {
            if ((e & 1) != 0) {
                result = reduced(mul(result, x));
            }
            x = reduced(mul(x, x));
        }
        return result;
    }
    // x^-1 mod p in Montgomery form, x in [1, p) in ordinary form.
    [[nodiscard]] constexpr u64 inverse(u64 x) const noexcept { return power(to_montgomery(x), p - 2); }
};

constexpr prime_field make_field(u64 p, u64 generator)
{
    u64 p_inverse = p; // right to 3 bits; each step doubles them
    for (int i = 0; i < 5; ++i) {
        p_inverse *= 2 - p * p_inverse;
    }
    const u64 r = (0 - p) % p;
    return {p, 0 - p_inverse, static_cast<u64>(wide{r} * r % p), generator};
}

constexpr std::array<prime_field, 3> fields{
    make_field(2127 * (u64{1} << 50) + 1, 19),
    make_field(2137 * (u64{1} << 50) + 1, 3),
    make_field(2167 * (u64{1} << 50) + 1, 3),
};
constexpr unsigned max_log_length = 50;

// [0, 4p) to [0, 2p). Below 2p the difference wraps above x, so the
// smaller of the two is the answer: no branch to mispredict.
[[nodiscard]] constexpr u64 lazy_reduced(u64 x, u64 two_p) noexcept { return std::min(x, x - two_p); }

// A twiddle w below p with w' = floor(w 2^64 / p), which turns x w mod p
// into two low products and one high one (Shoup's method).
struct twiddle {
    u64 w, w_quotient;
};

// x w mod p in [0, 2p), for any x.
[[nodiscard]] inline u64 times(u64 x, twiddle t, u64 p) noexcept
{
    const u64 q = high_half(wide{x} * t.w_quotient);
    return x * t.w - q * p;
}

// table[m + j] = w^j for the primitive 2m-th root w, for every power of
// two m < table.size().
void fill_twiddles(std::span<twiddle> table, const prime_field& f) noexcept
{
    const std::size_t n = table.size();
    const std::size_t half = n / 2;
    const u64 root = f.power(f.to_montgomery(f.generator), (f.p - 1) / n);
    const u64 p_inverse = 0 - f.minus_p_inverse;
    u64 w = f.to_montgomery(1); // w 2^64 mod p, so w' = (w 2^64 - that) / p exactly
    for (std::size_t j = 0; j < half; ++j) {
        table[half + j] = {f.reduced(f.mul(w, 1)), (0 - w) * p_inverse};
        w = f.reduced(f.mul(w, root));
    }
    for (std::size_t m = half / 2; m >= 1; m /= 2) {
        for (std::size_t j = 0; j < m; ++j) {
            table[m + j] = table[2 * m + 2 * j];
        }
    }
}

// The table of w^-j from that of w^j: w^m = -1 makes w^-j = -w^(m - j), and
// -w's quotient is the complement of w's (w 2^64 / p is never whole).
void invert_twiddles(std::span<twiddle> table, u64 p) noexcept
{
    const auto negated = [p](twiddle t) { return twiddle{p - t.w, ~t.w_quotient}; };
    for (std::size_t m = 2; m < table.size(); m *= 2) {
        for (std::size_t j = 1; j < m - j; ++j) {
            twiddle& x = table[m + j];
            twiddle& y = table[2 * m - j];
            std::swap(x, y);
            x = negated(x);
            y = negated(y);
        }
        table[m + m / 2] = negated(table[m + m / 2]);
    }
}

void forward(span x, std::span<const twiddle> twiddles, const prime_field& f) noexcept
{
    const u64 p = f.p;
    const u64 two_p = 2 * p;
    const std::size_t n = x.size();
    for (std::size_t m = n / 2; m >= 1; m /= 2) {
        const twiddle* w = twiddles.data() + m;
        for (std::size_t block = 0; block < n; block += 2 * m) {
            u64* lo = x.data() + block;
            u64* hi = lo + m;
            for (std::size_t j = 0; j < m; ++j) {
                const u64 u = lo[j];
                const u64 v = hi[j];
                lo[j] = lazy_reduced(u + v, two_p);
                hi[j] = times(u - v + two_p, w[j], p);
            }
        }
    }
}

void inverse(span x, std::span<const twiddle> twiddles, const prime_field& f) noexcept
{
    const u64 p = f.p;
    const u64 two_p = 2 * p;
    const std::size_t n = x.size();
    for (std::size_t m = 1; m < n; m *= 2) {
        const twiddle* w = twiddles.data() + m;
        for (std::size_t block = 0; block < n; block += 2 * m) {
            u64* lo = x.data() + block;
            u64* hi = lo + m;
            for (std::size_t j = 0; j < m; ++j) {
                const u64 u = lo[j];
                const u64 t = times(hi[j], w[j], p);
                lo[j] = lazy_reduced(u + t, two_p);
                hi[j] = lazy_reduced(u - t + two_p, two_p);
            }
        }
    }
}

// a's limbs in [0, 2p), zeros up to x.size().
void load(span x, view a, const prime_field& f) noexcept
{
    const u64 two_p = 2 * f.p;
    std::transform(a.begin(), a.end(), x.begin(),
                   [&](u64 v) { return lazy_reduced(lazy_reduced(v, 2 * two_p), two_p); });
    std::fill(x.begin() + static_cast<std::ptrdiff_t>(a.size()), x.end(), u64{0});
}

// The convolution of a and b modulo f.p into x, scaled by R^-1 and the
// length (the caller's final multiplication takes both out).
void convolve(span x, span other, std::span<twiddle> twiddles, view a, view b, const prime_field& f,
              bool square) noexcept
{
    fill_twiddles(twiddles, f);
    load(x, a, f);
    forward(x, twiddles, f);
    if (square) {
        std::transform(x.begin(), x.end(), x.begin(), [&](u64 v) { return f.mul(v, v); });
    } else {
        load(other, b, f);
        forward(other, twiddles, f);
        std::transform(x.begin(), x.end(), other.begin(), x.begin(), [&](u64 u, u64 v) { return f.mul(u, v); });
    }
    invert_twiddles(twiddles, f.p);
    inverse(x, twiddles, f);
}

// The constants that put three residues together:
// x = c0 + p0 y1 + p0 p1 y2 with y1 = (c1 - c0) / p0 mod p1 and
// y2 = (c2 - c0 - p0 y1) / (p0 p1) mod p2.
struct crt_constants {
    u64 p0_inverse_mod_p1;   // Montgomery form
    u64 p0_mod_p2;           // Montgomery form
    u64 p0p1_inverse_mod_p2; // Montgomery form
    wide p0p1;
};

constexpr crt_constants make_crt()
{
    const auto& [f0, f1, f2] = fields;
    return {f1.inverse(f0.p % f1.p), f2.to_montgomery(f0.p % f2.p),
            f2.inverse(static_cast<u64>(wide{f0.p} * f1.p % f2.p)), wide{f0.p} * f1.p};
}
constexpr crt_constants crt = make_crt();

// (c - d) mod p for c, d in [0, p).
[[nodiscard]] constexpr u64 minus(u64 c, u64 d, u64 p) noexcept { return std::min(c - d, c - d + p); }

// The residues' value, three limbs, least significant first.
std::array<u64, 3> combine(u64 c0, u64 c1, u64 c2) noexcept
{
    const auto& [f0, f1, f2] = fields;
    const u64 y1 = f1.reduced(f1.mul(minus(c1, c0, f1.p), crt.p0_inverse_mod_p1));
    const u64 p0y1_mod_p2 = f2.reduced(f2.mul(y1, crt.p0_mod_p2));
    const u64 known = f2.reduced(c0 + p0y1_mod_p2);
    const u64 y2 = f2.reduced(f2.mul(minus(c2, known, f2.p), crt.p0p1_inverse_mod_p2));
    // c0 + p0 y1 < 2^126; p0 p1 y2 < 2^186.
    const wide low = wide{c0} + wide{f0.p} * y1;
    const wide part0 = wide{low_half(crt.p0p1)} * y2;
    const wide part1 = wide{high_half(crt.p0p1)} * y2;
    const wide sum0 = wide{low_half(low)} + low_half(part0);
    const wide sum1 = wide{high_half(low)} + high_half(part0) + low_half(part1) + high_half(sum0);
    return {low_half(sum0), low_half(sum1), high_half(part1) + high_half(sum1)};
}

} // namespace

bool transform_available() noexcept { return true; }

void transform_multiply(span r, view a, view b)
{
    const bool squaring = same_span(a, b);
    const std::size_t length = std::bit_ceil(a.size() + b.size() - 1);
    if (std::countr_zero(length) > static_cast<int>(max_log_length)) {
        throw std::bad_alloc();
    }
    scratch room(4 * length);
    const span all = room.all();
    std::array<span, 3> residues{all.first(length), all.subspan(length, length), all.subspan(2 * length, length)};
    const span other = all.subspan(3 * length, length);
    const auto twiddles = std::make_unique_for_overwrite<twiddle[]>(length);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        convolve(residues[i], other, {twiddles.get(), length}, a, b, fields[i], squaring);
    }
    // Each residue is length c / R; times length^-1 R^2 in Montgomery form
    // gives c.
    std::array<u64, 3> unscale{};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const prime_field& f = fields[i];
        unscale[i] = f.to_montgomery(f.inverse(length % f.p));
    }
    // What the limbs so far leave for the next: below 2^124.
    u64 carry_low = 0;
    u64 carry_high = 0;
    for (std::size_t i = 0; i < r.size(); ++i) {
        std::array<u64, 3> c{};
        if (i < length) {
            for (std::size_t j = 0; j < 3; ++j) {
                c[j] = fields[j].reduced(fields[j].mul(residues[j][i], unscale[j]));
            }
        }
        const auto x = combine(c[0], c[1], c[2]);
        const wide s0 = wide{x[0]} + carry_low;
        const wide s1 = wide{x[1]} + carry_high + high_half(s0);
        r[i] = low_half(s0);
        carry_low = low_half(s1);
        carry_high = x[2] + high_half(s1);
    }
}

#else

bool transform_available() noexcept { return false; }

void transform_multiply(span, view, view) {}

#endif

} // namespace bignum::limbs::products
