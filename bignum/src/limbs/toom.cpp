// SPDX-License-Identifier: MIT
// Karatsuba and Toom-3 over equal sizes, the cutting of unequal operands into
// pieces of the shorter one's size, and the choice of method by size.
//
// A square is a product whose two operands are the very same span; every
// level notices, evaluates once and squares its pieces. Scratch comes from
// one allocation per top-level call, sized by a walk through the same
// choices the product will make.

#include "products.h"

#include <algorithm>
#include <cassert>
#include <utility>

namespace bignum::limbs::products {
namespace {

enum class method { schoolbook, karatsuba, toom3 };

[[nodiscard]] std::size_t karatsuba_threshold(bool square) noexcept
{
    if (square) {
        return karatsuba_sqr_threshold;
    }
    return columns_available() ? karatsuba_mul_columns_threshold : karatsuba_mul_threshold;
}

[[nodiscard]] method method_for(std::size_t n, bool square) noexcept
{
    if (n < karatsuba_threshold(square)) {
        return method::schoolbook;
    }
    if (n < (square ? toom3_sqr_threshold : toom3_mul_threshold)) {
        return method::karatsuba;
    }
    return method::toom3;
}

// Karatsuba cuts n limbs into a low half of n / 2 and a high one of the rest.
[[nodiscard]] std::size_t high_half_size(std::size_t n) noexcept { return n - n / 2; }
// Toom-3 cuts n limbs into two pieces of ceil(n / 3) and the rest on top.
[[nodiscard]] std::size_t third_size(std::size_t n) noexcept { return (n + 2) / 3; }

// Scratch limbs a product of two n-limb operands needs. It never shrinks as
// n grows (checked for every n below 200000 with these thresholds), so the
// room for a level's largest piece serves its smaller ones too.
std::size_t balanced_scratch(std::size_t n, bool square) noexcept
{
    switch (method_for(n, square)) {
    case method::schoolbook: return 0;
    case method::karatsuba: {
        const std::size_t h = high_half_size(n);
        return 4 * h + std::max(balanced_scratch(h, square), 2 * h + 1);
    }
    case method::toom3: {
        const std::size_t k = third_size(n);
        const std::size_t evaluations = (square ? 3 : 6) * (k + 1);
        return evaluations + 3 * (2 * k + 2) + balanced_scratch(k + 1, square);
    }
    }
    return 0;
}

// |x - y| into r, r.size() == x.size() >= y.size(); true when x < y.
bool difference(span r, view x, view y) noexcept
{
    const view x_top = x.subspan(y.size());
    const bool x_smaller = trimmed(x_top).empty() && compare_same_size(x.first(y.size()), y) < 0;
    if (x_smaller) {
        sub(r.first(y.size()), y, x.first(y.size()));
        std::fill(r.begin() + static_cast<std::ptrdiff_t>(y.size()), r.end(), limb{0});
    } else {
        sub(r, x, y);
    }
    return x_smaller;
}

// r += x at the low end of r, the carry running up r; r is long enough that
// it does not run out (the caller's sum fits).
void add_into(span r, view x) noexcept
{
    const limb carry = add(r.first(x.size()), r.first(x.size()), x);
    add_1(r.subspan(x.size()), r.subspan(x.size()), carry);
}

void sub_from(span r, view x) noexcept
{
    const limb borrow = sub(r.first(x.size()), r.first(x.size()), x);
    sub_1(r.subspan(x.size()), r.subspan(x.size()), borrow);
}

// x / 3 in place, for x a multiple of 3: each limb times the inverse of 3
// modulo the limb base, the borrow carried up.
void divide_by_3_exactly(span x) noexcept
{
    constexpr limb inverse_of_3 = static_cast<limb>(~limb{0} / 3 * 2 + 1);
    static_assert(static_cast<limb>(inverse_of_3 * 3) == 1);
    limb borrow = 0;
    for (limb& v : x) {
        const limb s = v - borrow;
        const limb wrapped = v < borrow ? 1 : 0;
        const limb q = s * inverse_of_3;
        v = q;
        borrow = high_half(wide{q} * 3) + wrapped;
    }
}

void balanced(span r, view a, view b, span scratch) noexcept;

// a = a0 + a1 B^h, likewise b; a b = a0 b0 + (a0 b0 + a1 b1 - (a1 - a0)(b1 - b0)) B^h
// + a1 b1 B^2h: three half-size products.
void karatsuba(span r, view a, view b, span scratch) noexcept
{
    const bool squaring = same_span(a, b);
    const std::size_t n = a.size();
    const std::size_t low = n / 2;
    const std::size_t high = n - low;
    const span da = scratch.first(high);
    const span db = scratch.subspan(high, high);
    const span t = scratch.subspan(2 * high, 2 * high);
    const span rest = scratch.subspan(4 * high);

    // The sign of (a1 - a0)(b1 - b0); a square's is +.
    bool negative = difference(da, a.subspan(low), a.first(low));
    if (squaring) {
        negative = false;
        balanced(t, da, da, rest);
    } else {
        negative = negative != difference(db, b.subspan(low), b.first(low));
        balanced(t, da, db, rest);
    }
    balanced(r.first(2 * low), a.first(low), b.first(low), rest);
    balanced(r.subspan(2 * low), a.subspan(low), b.subspan(low), rest);

    const span middle = rest.first(2 * high + 1);
    const view z2 = r.subspan(2 * low);
    middle[2 * high] = add(middle.first(2 * high), z2, r.first(2 * low));
    if (negative) {
        add_into(middle, t);
    } else {
        sub_from(middle, t);
    }
    add_into(r.subspan(low), middle);
}

// The three pieces of a Toom-3 operand.
struct thirds {
    view low, mid, top;
};

thirds cut_in_thirds(view a, std::size_t k) noexcept { return {a.first(k), a.subspan(k, k), a.subspan(2 * k)}; }

// A Toom-3 operand's values at 1, -1 (as magnitude; returns whether it is
// negative) and 2, each k + 1 limbs.
struct evaluations {
    span at_1, at_minus_1, at_2;
};

bool evaluate(const evaluations& e, const thirds& x) noexcept
{
    const std::size_t k = x.low.size();
    // at_1 = low + top, then at_-1 = |at_1 - mid| before mid joins at_1.
    e.at_1[k] = add(e.at_1.first(k), x.low, x.top);
    const bool negative = difference(e.at_minus_1, e.at_1, x.mid);
    add(e.at_1, e.at_1, x.mid);
    // at_2 = ((2 top) + mid) 2 + low.
    std::copy(x.top.begin(), x.top.end(), e.at_2.begin());
    std::fill(e.at_2.begin() + static_cast<std::ptrdiff_t>(x.top.size()), e.at_2.end(), limb{0});
    shift_left(e.at_2, e.at_2, 1);
    add(e.at_2, e.at_2, x.mid);
    shift_left(e.at_2, e.at_2, 1);
    add(e.at_2, e.at_2, x.low);
    return negative;
}

// a and b cut in pieces of k limbs, k >= the top's size s >= 1; the product
// polynomial's five values at 0, 1, -1, 2 and infinity give its
// coefficients back (each fits 2k + 1 limbs).
void toom3(span r, view a, view b, span scratch) noexcept
{
    const bool squaring = same_span(a, b);
    const std::size_t n = a.size();
    const std::size_t k = third_size(n);
    [[maybe_unused]] const std::size_t s = n - 2 * k; // read by the assertion alone
    assert(s >= 1 && s <= k);
    const std::size_t e = k + 1;
    const std::size_t v = 2 * k + 2;

    const evaluations ea{scratch.first(e), scratch.subspan(e, e), scratch.subspan(2 * e, e)};
    span rest = scratch.subspan(3 * e);
    const bool a_negative = evaluate(ea, cut_in_thirds(a, k));
    evaluations eb = ea;
    bool negative = false;
    if (!squaring) {
        eb = {rest.first(e), rest.subspan(e, e), rest.subspan(2 * e, e)};
        rest = rest.subspan(3 * e);
        negative = a_negative != evaluate(eb, cut_in_thirds(b, k));
    }
    const span v1 = rest.first(v);
    const span vm1 = rest.subspan(v, v);
    const span v2 = rest.subspan(2 * v, v);
    rest = rest.subspan(3 * v);

    balanced(v1, ea.at_1, eb.at_1, rest);
    balanced(vm1, ea.at_minus_1, eb.at_minus_1, rest);
    balanced(v2, ea.at_2, eb.at_2, rest);
    const span v0 = r.first(2 * k);
    const span vinf = r.subspan(4 * k);
    balanced(v0, a.first(k), b.first(k), rest);
    balanced(vinf, a.subspan(2 * k), b.subspan(2 * k), rest);

    // The product's coefficients c0 .. c4 from its values; every step's
    // result is non-negative. vm1 alone may be negative (held as magnitude),
    // which turns its subtractions into additions.
    if (negative) {
        add(v2, v2, vm1);
        add(vm1, vm1, v1);
    } else {
        sub(v2, v2, vm1);
        sub(vm1, v1, vm1);
    }
    divide_by_3_exactly(v2);  // (v2 - vm1) / 3 = c1 + c2 + 3 c3 + 5 c4
    shift_right(vm1, vm1, 1); // (v1 - vm1) / 2 = c1 + c3
    sub_from(v1, v0);         // v1 = c1 + c2 + c3 + c4
    sub(v2, v2, v1);          // 2 c3 + 4 c4
    shift_right(v2, v2, 1);   // c3 + 2 c4
    sub_from(v2, vinf);
    sub_from(v2, vinf); // c3
    sub(v1, v1, vm1);   // c2 + c4
    sub_from(v1, vinf); // c2
    sub(vm1, vm1, v2);  // c1

    std::fill(r.begin() + static_cast<std::ptrdiff_t>(2 * k), r.begin() + static_cast<std::ptrdiff_t>(4 * k), limb{0});
    for (const auto& [coefficient, offset] : {std::pair{view(vm1), k}, {view(v1), 2 * k}, {view(v2), 3 * k}}) {
        const span place = r.subspan(offset);
        add_into(place, coefficient.first(std::min(coefficient.size(), place.size())));
    }
}

// r = a * b for a.size() == b.size(), a square when they are the same span.
void balanced(span r, view a, view b, span scratch) noexcept
{
    const bool squaring = same_span(a, b);
    switch (method_for(a.size(), squaring)) {
    case method::schoolbook: schoolbook(r, a, b); return;
    case method::karatsuba: karatsuba(r, a, b, scratch); return;
    case method::toom3: toom3(r, a, b, scratch); return;
    }
}

// Scratch for a.size() == m >= b.size() == n.
std::size_t unbalanced_scratch(std::size_t m, std::size_t n) noexcept
{
    if (m == n) {
        return balanced_scratch(n, false);
    }
    if (n < karatsuba_threshold(false)) {
        return 0;
    }
    const std::size_t rest = m % n;
    return 2 * n + std::max(balanced_scratch(n, false), rest == 0 ? 0 : unbalanced_scratch(n, rest));
}

// a * b for a longer than b: a is cut into pieces of b's size, each product
// added in at its place.
void unbalanced(span r, view a, view b, span scratch) noexcept
{
    const std::size_t n = b.size();
    if (a.size() == n) {
        balanced(r, a, b, scratch);
        return;
    }
    if (n < karatsuba_threshold(false)) {
        schoolbook(r, a, b);
        return;
    }
    balanced(r.first(2 * n), a.first(n), b, scratch.subspan(2 * n));
    for (std::size_t at = n; at < a.size(); at += n) {
        const view piece = a.subspan(at, std::min(n, a.size() - at));
        const span product = scratch.first(piece.size() + n);
        if (piece.size() == n) {
            balanced(product, piece, b, scratch.subspan(2 * n));
        } else {
            unbalanced(product, b, piece, scratch.subspan(2 * n));
        }
        // The new product's top limbs land on limbs not yet written.
        const span place = r.subspan(at, piece.size() + n);
        std::copy(product.begin() + static_cast<std::ptrdiff_t>(n), product.end(),
                  place.begin() + static_cast<std::ptrdiff_t>(n));
        add_into(place, product.first(n));
    }
}

} // namespace

void multiply(span r, view a, view b)
{
    if (b.size() < karatsuba_threshold(false)) {
        schoolbook(r, a, b);
        return;
    }
    if (transform_available() && b.size() >= transform_mul_threshold) {
        transform_multiply(r, a, b);
        return;
    }
    scratch room(unbalanced_scratch(a.size(), b.size()));
    unbalanced(r, a, b, room.all());
}

void square(span r, view a)
{
    if (a.size() < karatsuba_threshold(true)) {
        schoolbook(r, a, a);
        return;
    }
    if (transform_available() && a.size() >= transform_sqr_threshold) {
        transform_multiply(r, a, a);
        return;
    }
    scratch room(balanced_scratch(a.size(), true));
    balanced(r, a, a, room.all());
}

} // namespace bignum::limbs::products
