// SPDX-License-Identifier: MIT
// Product scanning: the product's limbs are computed a block of W adjacent
// columns at a time. Column c sums a[i] x b[c - i] over its rows i; a row of
// the block multiplies one limb a[i] by the W adjacent limbs b[k - i ..
// k - i + W), one product per column, and adds each product's low and high
// halves to that column's two 64-bit sums. No carry runs inside a column, so
// the W lanes are independent vector lanes; the carries are propagated once
// per column when the block is written out.
//
// GCC 12 vectorises those lanes unreliably (scalar code, or 64 x 64-bit
// products built from three 32-bit ones), so the row step is written with
// the vector instructions of each level; everything else is shared.

#include "multiplication_kernel.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string_view>

// Vector levels exist only where the compiler can pick them at run time.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__)) && !defined(__MINGW32__)
#define BIGNUM_VECTOR_KERNELS 1 // NOLINT(cppcoreguidelines-macro-usage): for #if, where no constexpr reaches
#include <immintrin.h>
#endif

using namespace bignum::detail;

namespace {

using MulKernel = Limb (*)(const Limb*, std::size_t, const Limb*, std::size_t, Limb*) noexcept;
using SqrKernel = void (*)(const Limb*, std::size_t, Limb*) noexcept;

// A level and its column kernels; the portable level has none: without wide
// vectors the rows are faster.
struct Kernel {
    std::string_view name;
    MulKernel mul = nullptr;
    SqrKernel sqr = nullptr;
};

constexpr Kernel portable{"portable"};

#ifdef BIGNUM_VECTOR_KERNELS

// The rows of a block of W columns from k: row i reads x[k - i .. k - i + W),
// zero outside x[0 .. n), since the rows at the ends of the product read
// partly past the operand. Needs n >= W.
template <std::size_t W>
class ZeroExtended {
public:
    ZeroExtended(const Limb* x, std::size_t n) noexcept : x_(x), n_(n)
    {
        std::copy(x, x + W, below_.begin() + W);
        std::copy(x + n - W, x + n, above_.begin());
    }

    // Calls row(i, x + k - i) for each i in [begin, end), reading the padded
    // copies where the row starts below 0 or ends above n; three runs of
    // rows, so that no row tests where it lies.
    template <class Row>
    void for_rows(std::size_t k, std::size_t begin, std::size_t end, Row row) const noexcept
    {
        std::size_t i = begin;
        const std::size_t above_end = k + W > n_ ? std::min(end, k + W - n_) : 0;
        for (; i < above_end; ++i) {
            row(i, above_.data() + (k + W - n_ - i));
        }
        for (const std::size_t inside_end = std::min(end, k + 1); i < inside_end; ++i) {
            row(i, x_ + (k - i));
        }
        for (; i < end; ++i) {
            row(i, below_.data() + (W + k - i));
        }
    }

private:
    const Limb* x_;
    std::size_t n_;
    std::array<Limb, 2 * W> below_{}; // W zeros, then x[0 .. W)
    std::array<Limb, 2 * W> above_{}; // x[n - W .. n), then W zeros
};

// The finished sums of W adjacent columns. Each sum gains less than 2^32 per
// row, so neither can overflow below 2^32 rows.
template <std::size_t W>
struct ColumnTotals {
    std::array<Wide, W> low{};
    std::array<Wide, W> high{};

    // A square's columns: each cross sum doubled (it is below n 2^64 / 2, so
    // twice it fits), plus a[c / 2]^2 in each even column c = k + lane below
    // `columns`; k is even.
    void double_and_add_squares(const Limb* a, std::size_t k, std::size_t columns) noexcept
    {
        Wide* lows = low.data();
        Wide* highs = high.data();
        for (std::size_t lane = 0; lane < W; ++lane) {
            lows[lane] *= 2;
            highs[lane] *= 2;
        }
        for (std::size_t lane = 0; lane < W && k + lane < columns; lane += 2) {
            const Wide square = Wide{a[(k + lane) / 2]} * a[(k + lane) / 2];
            lows[lane] += low_word(square);
            highs[lane] += high_word(square);
        }
    }

    // Writes the first `count` columns to t[0 .. count), each with the carry
    // out of the one below; returns the carry out of the last. The carry stays
    // below 2^64: it is at most the column's high sum plus a little.
    [[nodiscard]] Wide write(Limb* t, Wide carry, std::size_t count) const noexcept
    {
        const Wide* lows = low.data();
        const Wide* highs = high.data();
        for (std::size_t lane = 0; lane < count; ++lane) {
            const Wide sum = carry + lows[lane];
            t[lane] = low_word(sum);
            carry = high_word(sum) + highs[lane];
        }
        return carry;
    }
};

// keep_from<W>(first)[lane] is all ones for the lanes from `first` up and
// zero below: the mask of a row that crosses a square's diagonal.
template <std::size_t W>
const Limb* keep_from(std::size_t first) noexcept
{
    static constexpr auto masks = [] {
        std::array<Limb, 2 * W> m{};
        std::fill(m.begin() + W, m.end(), ~Limb{0});
        return m;
    }();
    return masks.data() + W - first;
}

// Eight columns in two 256-bit registers per sum.
struct Avx2Sums {
    static constexpr std::size_t width = 8;

    [[gnu::target("avx2")]] Avx2Sums() noexcept : low0(_mm256_setzero_si256()), low1(low0), high0(low0), high1(low0) {}

    // Column lane gains x y[lane], for each lane.
    [[gnu::target("avx2")]] void add_row(Limb x, const Limb* y) noexcept
    {
        add_products(x, widen(load(y)), widen(load(y + 4)));
    }

    // The same for the lanes from `first` up only.
    [[gnu::target("avx2")]] void add_row_from(std::size_t first, Limb x, const Limb* y) noexcept
    {
        const Limb* keep = keep_from<width>(first);
        add_products(x, widen(_mm_and_si128(load(y), load(keep))), widen(_mm_and_si128(load(y + 4), load(keep + 4))));
    }

    [[nodiscard, gnu::target("avx2")]] ColumnTotals<width> totals() const noexcept
    {
        ColumnTotals<width> out;
        store(out.low.data(), low0);
        store(out.low.data() + 4, low1);
        store(out.high.data(), high0);
        store(out.high.data() + 4, high1);
        return out;
    }

private:
    __m256i low0, low1, high0, high1;

    [[gnu::target("avx2")]] void add_products(Limb x, __m256i y0, __m256i y1) noexcept
    {
        const __m256i xs = _mm256_set1_epi64x(x);
        add(low0, high0, _mm256_mul_epu32(xs, y0));
        add(low1, high1, _mm256_mul_epu32(xs, y1));
    }

    // y[0 .. 4), unaligned.
    [[gnu::target("avx2")]] static __m128i load(const Limb* y) noexcept
    {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(y));
    }

    // Four limbs, each zero-extended to 64 bits.
    [[gnu::target("avx2")]] static __m256i widen(__m128i y) noexcept { return _mm256_cvtepu32_epi64(y); }

    [[gnu::target("avx2")]] static void store(Wide* to, __m256i v) noexcept
    {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(to), v);
    }

    [[gnu::target("avx2")]] static void add(__m256i& low, __m256i& high, __m256i p) noexcept
    {
        low = _mm256_add_epi64(low, _mm256_and_si256(p, _mm256_set1_epi64x(0xFFFFFFFF)));
        high = _mm256_add_epi64(high, _mm256_srli_epi64(p, limb_bits));
    }
};

// Eight columns in one 512-bit register per sum: sixteen, in two, measured
// slower on a processor that splits 512-bit operations in two, since wider
// blocks compute more zero products at the ends. The zero-masking forms with
// every lane kept are the plain instructions; unlike the plain intrinsics
// they do not trip GCC 12's false "may be used uninitialized" in its header.
struct Avx512Sums {
    static constexpr std::size_t width = 8;

    [[gnu::target("avx512f")]] Avx512Sums() noexcept : low(_mm512_setzero_si512()), high(low) {}

    [[gnu::target("avx512f")]] void add_row(Limb x, const Limb* y) noexcept { add_products(x, load(y)); }

    [[gnu::target("avx512f")]] void add_row_from(std::size_t first, Limb x, const Limb* y) noexcept
    {
        add_products(x, _mm256_and_si256(load(y), load(keep_from<width>(first))));
    }

    [[nodiscard, gnu::target("avx512f")]] ColumnTotals<width> totals() const noexcept
    {
        ColumnTotals<width> out;
        _mm512_storeu_si512(out.low.data(), low);
        _mm512_storeu_si512(out.high.data(), high);
        return out;
    }

private:
    static constexpr __mmask8 all = 0xFF;
    __m512i low, high;

    [[gnu::target("avx512f")]] void add_products(Limb x, __m256i y) noexcept
    {
        const __m512i p = _mm512_maskz_mul_epu32(all, _mm512_set1_epi64(x), _mm512_maskz_cvtepu32_epi64(all, y));
        low = _mm512_add_epi64(low, _mm512_and_si512(p, _mm512_set1_epi64(0xFFFFFFFF)));
        high = _mm512_add_epi64(high, _mm512_maskz_srli_epi64(all, p, limb_bits));
    }

    // y[0 .. 8), unaligned.
    [[gnu::target("avx512f")]] static __m256i load(const Limb* y) noexcept
    {
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(y));
    }
};

// Every operand the column kernels see has at least one block's width of
// limbs, as ZeroExtended needs.
static_assert(column_form_min_limbs >= Avx2Sums::width && column_form_min_limbs >= Avx512Sums::width);

template <class Sums>
Limb mul_columns_by(const Limb* a, std::size_t na, const Limb* b, std::size_t nb, Limb* t) noexcept
{
    constexpr std::size_t W = Sums::width;
    const ZeroExtended<W> y(b, nb);
    const std::size_t columns = na + nb - 1;
    Wide carry = 0;
    for (std::size_t k = 0; k < columns; k += W) {
        // Rows with a column of the block: b index k - i + lane in [0, nb).
        const std::size_t first_row = k >= nb ? k - nb + 1 : 0;
        const std::size_t end_row = std::min(na, k + W);
        Sums sums;
        y.for_rows(k, first_row, end_row, [&](std::size_t i, const Limb* row) { sums.add_row(a[i], row); });
        carry = sums.totals().write(t + k, carry, std::min(W, columns - k));
    }
    return low_word(carry);
}

// Column c of a square sums a[i] a[c - i] over i < c - i, doubled, plus
// a[c / 2]^2 when c is even.
template <class Sums>
void sqr_columns_by(const Limb* a, std::size_t n, Limb* t) noexcept
{
    constexpr std::size_t W = Sums::width;
    const ZeroExtended<W> y(a, n);
    const std::size_t columns = 2 * n - 1;
    Wide carry = 0;
    for (std::size_t k = 0; k < columns; k += W) {
        // Rows with a cross product in the block: i < k + lane - i < n.
        const std::size_t first_row = k >= n ? k - n + 1 : 0;
        const std::size_t end_row = std::min(n, (k + W) / 2);
        // Below this row every lane lies above the diagonal.
        const std::size_t whole_rows_end = std::clamp((k + 1) / 2, first_row, end_row);
        Sums sums;
        y.for_rows(k, first_row, whole_rows_end, [&](std::size_t i, const Limb* row) { sums.add_row(a[i], row); });
        y.for_rows(k, whole_rows_end, end_row,
                   [&](std::size_t i, const Limb* row) { sums.add_row_from(2 * i - k + 1, a[i], row); });
        auto totals = sums.totals();
        totals.double_and_add_squares(a, k, columns);
        carry = totals.write(t + k, carry, std::min(W, columns - k));
    }
    t[columns] = low_word(carry);
}

// Everything the kernels call is inlined, so that it runs at their level.
[[gnu::target("avx2"), gnu::flatten]] Limb mul_avx2(const Limb* a, std::size_t na, const Limb* b, std::size_t nb,
                                                    Limb* t) noexcept
{
    return mul_columns_by<Avx2Sums>(a, na, b, nb, t);
}
[[gnu::target("avx2"), gnu::flatten]] void sqr_avx2(const Limb* a, std::size_t n, Limb* t) noexcept
{
    sqr_columns_by<Avx2Sums>(a, n, t);
}
[[gnu::target("avx512f"), gnu::flatten]] Limb mul_avx512(const Limb* a, std::size_t na, const Limb* b, std::size_t nb,
                                                         Limb* t) noexcept
{
    return mul_columns_by<Avx512Sums>(a, na, b, nb, t);
}
[[gnu::target("avx512f"), gnu::flatten]] void sqr_avx512(const Limb* a, std::size_t n, Limb* t) noexcept
{
    sqr_columns_by<Avx512Sums>(a, n, t);
}

// What the processor reports, best first; a level it lacks has no name.
std::array<Kernel, 3> available_kernels()
{
    __builtin_cpu_init();
    return {__builtin_cpu_supports("avx512f") ? Kernel{"avx512", mul_avx512, sqr_avx512} : Kernel{},
            __builtin_cpu_supports("avx2") ? Kernel{"avx2", mul_avx2, sqr_avx2} : Kernel{}, portable};
}

#else

std::array<Kernel, 1> available_kernels() { return {portable}; }

#endif

// The level BIGNUM_KERNEL names if the processor has it, else the best.
Kernel choose_kernel()
{
    const auto kernels = available_kernels();
    const char* forced = std::getenv("BIGNUM_KERNEL"); // NOLINT(concurrency-mt-unsafe): read once, at first use
    const std::string_view wanted = forced == nullptr ? "" : forced;
    const auto* it = std::find_if(kernels.begin(), kernels.end(),
                                  [&](const Kernel& k) { return !k.name.empty() && k.name == wanted; });
    if (it == kernels.end()) {
        it = std::find_if(kernels.begin(), kernels.end(), [](const Kernel& k) { return !k.name.empty(); });
    }
    return *it;
}

// A function-local static: initialised once, race-free, on first use.
const Kernel& kernel()
{
    static const Kernel chosen = choose_kernel();
    return chosen;
}

} // namespace

namespace bignum::detail {

bool column_kernels_chosen() noexcept { return kernel().mul != nullptr; }

Limb mul_columns(const Limb* a, std::size_t na, const Limb* b, std::size_t nb, Limb* t) noexcept
{
    return kernel().mul(a, na, b, nb, t);
}

void sqr_columns(const Limb* a, std::size_t n, Limb* t) noexcept { kernel().sqr(a, n, t); }

} // namespace bignum::detail

const char* big_product_kernel() noexcept { return kernel().name.data(); }
