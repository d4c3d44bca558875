// SPDX-License-Identifier: MIT
// Products of limb spans: the word kernels, schoolbook, and the choice of
// method by size.

#include "limbs.h"
#include "products.h"

#include "../multiplication_kernel.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace bignum::limbs {

// The kernels run four limbs a round: the products of a round do not depend
// on one another, so the processor overlaps them and only the carry chain is
// serial.

limb mul_1(span r, view a, limb b) noexcept
{
    const limb* ap = a.data();
    limb* rp = r.data();
    const std::size_t n = a.size();
    limb carry = 0;
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const wide p0 = wide{ap[i]} * b + carry;
        const wide p1 = wide{ap[i + 1]} * b + high_half(p0);
        const wide p2 = wide{ap[i + 2]} * b + high_half(p1);
        const wide p3 = wide{ap[i + 3]} * b + high_half(p2);
        rp[i] = low_half(p0);
        rp[i + 1] = low_half(p1);
        rp[i + 2] = low_half(p2);
        rp[i + 3] = low_half(p3);
        carry = high_half(p3);
    }
    for (; i < n; ++i) {
        const wide p = wide{ap[i]} * b + carry;
        rp[i] = low_half(p);
        carry = high_half(p);
    }
    return carry;
}

limb addmul_1(span r, view a, limb b) noexcept
{
    const limb* ap = a.data();
    limb* rp = r.data();
    const std::size_t n = a.size();
    limb carry = 0;
    std::size_t i = 0;
    // a * b + r + carry < 2^(2 limb_bits): no overflow of the wide sums.
    for (; i + 4 <= n; i += 4) {
        const wide p0 = wide{ap[i]} * b + rp[i] + carry;
        const wide p1 = wide{ap[i + 1]} * b + rp[i + 1] + high_half(p0);
        const wide p2 = wide{ap[i + 2]} * b + rp[i + 2] + high_half(p1);
        const wide p3 = wide{ap[i + 3]} * b + rp[i + 3] + high_half(p2);
        rp[i] = low_half(p0);
        rp[i + 1] = low_half(p1);
        rp[i + 2] = low_half(p2);
        rp[i + 3] = low_half(p3);
        carry = high_half(p3);
    }
    for (; i < n; ++i) {
        const wide p = wide{ap[i]} * b + rp[i] + carry;
        rp[i] = low_half(p);
        carry = high_half(p);
    }
    return carry;
}

namespace {

// r - (p + borrow) for one limb; the borrow out is the product's high half
// plus whether the low subtraction wrapped.
inline limb submul_step(limb& r, limb a, limb b, limb borrow) noexcept
{
    const wide p = wide{a} * b + borrow;
    const limb low = low_half(p);
    const limb d = r - low;
    const limb out = high_half(p) + (r < low ? 1 : 0);
    r = d;
    return out;
}

} // namespace

limb submul_1(span r, view a, limb b) noexcept
{
    const limb* ap = a.data();
    limb* rp = r.data();
    const std::size_t n = a.size();
    limb borrow = 0;
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        borrow = submul_step(rp[i], ap[i], b, borrow);
        borrow = submul_step(rp[i + 1], ap[i + 1], b, borrow);
        borrow = submul_step(rp[i + 2], ap[i + 2], b, borrow);
        borrow = submul_step(rp[i + 3], ap[i + 3], b, borrow);
    }
    for (; i < n; ++i) {
        borrow = submul_step(rp[i], ap[i], b, borrow);
    }
    return borrow;
}

namespace {

// r[0 .. n + 1) += a (b0 + b1 B) over n = a.size(); r[n + 1] is written, not
// added to. Two rows a pass halve the loads and stores of r.
void addmul_2(limb* r, view a, limb b0, limb b1) noexcept
{
    limb carry0 = 0; // for this position
    limb carry1 = 0; // for the next
    for (std::size_t i = 0; i < a.size(); ++i) {
        // Each sum stays below 2^(2 limb_bits): a product plus two limbs.
        const wide t0 = wide{a[i]} * b0 + r[i] + carry0;
        r[i] = low_half(t0);
        const wide t1 = wide{a[i]} * b1 + high_half(t0) + carry1;
        carry0 = low_half(t1);
        carry1 = high_half(t1);
    }
    r[a.size()] = carry0;
    r[a.size() + 1] = carry1;
}

} // namespace

void mul_basecase(span r, view a, view b) noexcept
{
    const std::size_t n = a.size();
    r[n] = mul_1(r.first(n), a, b[0]);
    std::size_t j = 1;
    for (; j + 2 <= b.size(); j += 2) {
        addmul_2(r.data() + j, a, b[j], b[j + 1]);
    }
    if (j < b.size()) {
        r[n + j] = addmul_1(r.subspan(j, n), a, b[j]);
    }
}

namespace {

// r += x at position `at`, the carry running up as far as it goes.
void add_2_at(span r, std::size_t at, wide x) noexcept
{
    const wide low = wide{r[at]} + low_half(x);
    const wide high = wide{r[at + 1]} + high_half(x) + high_half(low);
    r[at] = low_half(low);
    r[at + 1] = low_half(high);
    for (std::size_t k = at + 2; high_half(high) != 0 && k < r.size(); ++k) {
        if (++r[k] != 0) {
            break;
        }
    }
}

// r[0 .. 2n) = twice the products a[i] a[j], i < j, of n = a.size() >= 2.
// Rows i and i + 1 go in one pass over a[i + 2 ..), their corner product
// a[i] a[i + 1] after it.
void off_diagonal(span r, view a) noexcept
{
    const std::size_t n = a.size();
    r[0] = 0;
    r[n] = mul_1(r.subspan(1, n - 1), a.subspan(1), a[0]);
    std::size_t i = 1;
    for (; i + 2 < n; i += 2) {
        addmul_2(r.data() + 2 * i + 2, a.subspan(i + 2), a[i], a[i + 1]);
        add_2_at(r.first(n + i + 2), 2 * i + 1, wide{a[i]} * a[i + 1]);
    }
    if (i + 2 == n) {
        r[n + i] = addmul_1(r.subspan(2 * i + 1, 1), a.subspan(i + 1), a[i]);
        ++i;
    }
    // The rows end at r[n + i - 1]; the top limbs above are zero.
    std::fill(r.begin() + static_cast<std::ptrdiff_t>(n + i), r.end(), limb{0});
}

} // namespace

// Each product a[i] a[j] with i < j once, then all of them doubled and the
// squares a[i]^2 added in one pass: about half the work of a * a.
void sqr_basecase(span r, view a) noexcept
{
    const std::size_t n = a.size();
    if (n == 1) {
        r[0] = 0;
        r[1] = 0;
    } else {
        off_diagonal(r, a);
    }
    limb shifted_out = 0;
    limb carry = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const wide square = wide{a[i]} * a[i];
        const limb lo = r[2 * i];
        const limb hi = r[2 * i + 1];
        const limb lo2 = (lo << 1) | shifted_out;
        const limb hi2 = (hi << 1) | (lo >> (limb_bits - 1));
        shifted_out = hi >> (limb_bits - 1);
        const wide sum_lo = wide{lo2} + low_half(square) + carry;
        const wide sum_hi = wide{hi2} + high_half(square) + high_half(sum_lo);
        r[2 * i] = low_half(sum_lo);
        r[2 * i + 1] = low_half(sum_hi);
        carry = high_half(sum_hi);
    }
}

namespace {

// The handle layer's column kernels, on 32-bit limbs in wide vectors, where
// the processor has them (x86-64 with AVX2 or AVX-512): copied into 32-bit
// halves and back, they beat the rows from these sizes in 64-bit limbs (on
// the AVX-512 server core of the thresholds: 2048-bit products 1.5x, squares
// 1.3x faster). The copies live on the stack, so operands stop at a bound
// above every size the schoolbook serves within Karatsuba and Toom-3.
constexpr std::size_t columns_mul_min = 16;
constexpr std::size_t columns_sqr_min = 24;
constexpr std::size_t columns_max = 80;
static_assert(columns_max >= products::karatsuba_mul_columns_threshold &&
              columns_max >= products::karatsuba_sqr_threshold);
using half = detail::Limb;
constexpr std::size_t halves = sizeof(limb) / sizeof(half);
// A 64-bit limb's halves lie low first only on a little-endian machine.
constexpr bool columns_possible = limb_bits == 64 && std::endian::native == std::endian::little;

using half_copy = std::array<half, columns_max * halves>;

void copy_in(half_copy& to, view from) noexcept { std::memcpy(to.data(), from.data(), from.size_bytes()); }

} // namespace

namespace products {

bool columns_available() noexcept { return columns_possible && detail::column_kernels_chosen(); }

namespace {

bool columns_serve(view a, view b, bool square) noexcept
{
    return a.size() <= columns_max && b.size() >= (square ? columns_sqr_min : columns_mul_min) && columns_available();
}

} // namespace

void schoolbook(span r, view a, view b) noexcept
{
    const bool squaring = same_span(a, b);
    if (!columns_serve(a, b, squaring)) {
        if (squaring) {
            sqr_basecase(r, a);
        } else {
            mul_basecase(r, a, b);
        }
        return;
    }
    half_copy x;
    half_copy y;
    // The kernel writes every half it reads back; zeroing it first would
    // cost a pass over the product.
    std::array<half, 2 * columns_max * halves> product; // NOLINT(cppcoreguidelines-pro-type-member-init)
    const std::size_t na = a.size() * halves;
    const std::size_t nb = b.size() * halves;
    copy_in(x, a);
    if (squaring) {
        detail::sqr_columns(x.data(), na, product.data());
    } else {
        copy_in(y, b);
        product[na + nb - 1] = detail::mul_columns(x.data(), na, y.data(), nb, product.data());
    }
    std::memcpy(r.data(), product.data(), r.size_bytes());
}

} // namespace products

void mul(span r, view a, view b)
{
    if (a.size() < b.size()) {
        std::swap(a, b);
    }
    products::multiply(r, a, b);
}

void sqr(span r, view a) { products::square(r, a); }

} // namespace bignum::limbs
