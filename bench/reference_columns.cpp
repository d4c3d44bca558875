// SPDX-License-Identifier: MIT
// The reference's products by columns: blocks of adjacent columns, each
// column summing the low and high halves of its limb products in two 64-bit
// vector lanes, carries propagated once per column. Run at the level the
// library chose, so that the two compare like with like; the operand is
// zero-padded once into a buffer that only ever grows, so no row needs to
// test where it lies.

#include "reference.h"

#include "../bignum/src/multiplication_kernel.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__)) && !defined(__MINGW32__)
#include <immintrin.h>
#endif

namespace bench::ref {

namespace {

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__)) && !defined(__MINGW32__)

constexpr unsigned limb_bits = 32;

// x with `pad` zero limbs on each side; the pointer returned is x[0].
const Limb* padded(const Limb* x, std::size_t n, std::size_t pad)
{
    static std::vector<Limb> buffer;
    buffer.assign(n + 2 * pad, 0);
    std::copy(x, x + n, buffer.begin() + static_cast<std::ptrdiff_t>(pad));
    return buffer.data() + pad;
}

// Lanes from `first` up kept, those below cleared: W zeros then W ones,
// read from W - first.
template <std::size_t W>
const Limb* lanes_from(std::size_t first)
{
    static const auto table = [] {
        std::array<Limb, 2 * W> t{};
        std::fill(t.begin() + W, t.end(), 0xFFFFFFFF);
        return t;
    }();
    return table.data() + W - first;
}

struct Lanes256 {
    static constexpr std::size_t width = 8;
    __m256i lo[2], hi[2];

    [[gnu::target("avx2")]] Lanes256() noexcept : lo{}, hi{} {}
    // Lanes c gain x (y[c] & keep[c]).
    [[gnu::target("avx2")]] void row(Limb x, const Limb* y, const Limb* keep = lanes_from<8>(0)) noexcept
    {
        const __m256i xs = _mm256_set1_epi64x(x);
        const __m256i mask = _mm256_set1_epi64x(0xFFFFFFFF);
        for (int h = 0; h < 2; ++h) {
            const __m128i part = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(y + 4 * h)),
                                               _mm_loadu_si128(reinterpret_cast<const __m128i*>(keep + 4 * h)));
            const __m256i p = _mm256_mul_epu32(xs, _mm256_cvtepu32_epi64(part));
            lo[h] = _mm256_add_epi64(lo[h], _mm256_and_si256(p, mask));
            hi[h] = _mm256_add_epi64(hi[h], _mm256_srli_epi64(p, limb_bits));
        }
    }
    [[gnu::target("avx2")]] void store(Wide* low, Wide* high) const noexcept
    {
        for (int h = 0; h < 2; ++h) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(low + 4 * h), lo[h]);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(high + 4 * h), hi[h]);
        }
    }
};

struct Lanes512 {
    static constexpr std::size_t width = 8; // one register: wider blocks waste more at the ends
    __m512i lo, hi;

    [[gnu::target("avx512f")]] Lanes512() noexcept : lo{}, hi{} {}
    [[gnu::target("avx512f")]] void row(Limb x, const Limb* y, const Limb* keep = lanes_from<8>(0)) noexcept
    {
        const __m512i xs = _mm512_set1_epi64(x);
        const __m512i mask = _mm512_set1_epi64(0xFFFFFFFF);
        const __m256i part = _mm256_and_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(y)),
                                              _mm256_loadu_si256(reinterpret_cast<const __m256i*>(keep)));
        const __m512i p = _mm512_maskz_mul_epu32(0xFF, xs, _mm512_maskz_cvtepu32_epi64(0xFF, part));
        lo = _mm512_add_epi64(lo, _mm512_and_si512(p, mask));
        hi = _mm512_add_epi64(hi, _mm512_maskz_srli_epi64(0xFF, p, limb_bits));
    }
    [[gnu::target("avx512f")]] void store(Wide* low, Wide* high) const noexcept
    {
        _mm512_storeu_si512(low, lo);
        _mm512_storeu_si512(high, hi);
    }
};

// Writes `count` columns from their sums, low to high; returns the carry.
template <std::size_t W>
Wide settle(const std::array<Wide, W>& low, const std::array<Wide, W>& high, std::size_t count, Limb* t, Wide carry)
{
    for (std::size_t c = 0; c < count; ++c) {
        const Wide s = carry + low[c];
        t[c] = static_cast<Limb>(s);
        carry = (s >> limb_bits) + high[c];
    }
    return carry;
}

template <class L>
void multiply_by(const Limb* a, std::size_t na, const Limb* b, std::size_t nb, Limb* t)
{
    constexpr std::size_t W = L::width;
    const Limb* pb = padded(b, nb, W);
    const std::size_t columns = na + nb - 1;
    Wide carry = 0;
    for (std::size_t k = 0; k < columns; k += W) {
        L lanes;
        for (std::size_t i = k + 1 > nb ? k + 1 - nb : 0; i < std::min(na, k + W); ++i) {
            lanes.row(a[i], pb + k - i);
        }
        std::array<Wide, W> low, high;
        lanes.store(low.data(), high.data());
        carry = settle<W>(low, high, std::min(W, columns - k), t + k, carry);
    }
    t[columns] = static_cast<Limb>(carry);
}

template <class L>
void square_by(const Limb* a, std::size_t n, Limb* t)
{
    constexpr std::size_t W = L::width;
    const Limb* pa = padded(a, n, W);
    const std::size_t columns = 2 * n - 1;
    Wide carry = 0;
    for (std::size_t k = 0; k < columns; k += W) {
        L lanes;
        // Cross products a[i] a[j], i < j: rows whose every lane is above the
        // diagonal, then the few that cross it, with the lanes below cleared.
        const std::size_t first = k + 1 > n ? k + 1 - n : 0;
        const std::size_t end = std::min(n, (k + W) / 2);
        std::size_t i = first;
        for (; i < end && 2 * i < k; ++i) {
            lanes.row(a[i], pa + k - i);
        }
        for (; i < end; ++i) {
            lanes.row(a[i], pa + k - i, lanes_from<W>(2 * i - k + 1));
        }
        std::array<Wide, W> low, high;
        lanes.store(low.data(), high.data());
        for (std::size_t c = 0; c < W; ++c) {
            low[c] *= 2;
            high[c] *= 2;
            if ((k + c) % 2 == 0 && k + c < columns) {
                const Wide sq = Wide{a[(k + c) / 2]} * a[(k + c) / 2];
                low[c] += static_cast<Limb>(sq);
                high[c] += sq >> limb_bits;
            }
        }
        carry = settle<W>(low, high, std::min(W, columns - k), t + k, carry);
    }
    t[columns] = static_cast<Limb>(carry);
}

[[gnu::target("avx2"), gnu::flatten]] void multiply_avx2(const Limb* a, std::size_t na, const Limb* b, std::size_t nb,
                                                         Limb* t)
{
    multiply_by<Lanes256>(a, na, b, nb, t);
}
[[gnu::target("avx512f"), gnu::flatten]] void multiply_avx512(const Limb* a, std::size_t na, const Limb* b,
                                                              std::size_t nb, Limb* t)
{
    multiply_by<Lanes512>(a, na, b, nb, t);
}
[[gnu::target("avx2"), gnu::flatten]] void square_avx2(const Limb* a, std::size_t n, Limb* t)
{
    square_by<Lanes256>(a, n, t);
}
[[gnu::target("avx512f"), gnu::flatten]] void square_avx512(const Limb* a, std::size_t n, Limb* t)
{
    square_by<Lanes512>(a, n, t);
}

#endif

// The library's level, read once.
std::string_view level()
{
    static const std::string_view name = big_product_kernel();
    return name;
}

} // namespace

bool multiply_columns([[maybe_unused]] const Limb* a, [[maybe_unused]] std::size_t na, [[maybe_unused]] const Limb* b,
                      [[maybe_unused]] std::size_t nb, [[maybe_unused]] Limb* t) noexcept
{
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__)) && !defined(__MINGW32__)
    if (std::min(na, nb) >= bignum::detail::column_form_min_limbs) {
        if (level() == "avx512") {
            multiply_avx512(a, na, b, nb, t);
            return true;
        }
        if (level() == "avx2") {
            multiply_avx2(a, na, b, nb, t);
            return true;
        }
    }
#endif
    return false;
}

bool square_columns([[maybe_unused]] const Limb* a, [[maybe_unused]] std::size_t n, [[maybe_unused]] Limb* t) noexcept
{
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__)) && !defined(__MINGW32__)
    if (n >= bignum::detail::column_form_min_limbs) {
        if (level() == "avx512") {
            square_avx512(a, n, t);
            return true;
        }
        if (level() == "avx2") {
            square_avx2(a, n, t);
            return true;
        }
    }
#endif
    return false;
}

const char* kernel_level() noexcept { return level().data(); }

} // namespace bench::ref
