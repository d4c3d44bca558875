// SPDX-License-Identifier: MIT
// Lehmer's reduction, shared by the gcd, the extended gcd, the inverse and
// the Jacobi symbol: Euclid's steps run on the top two limbs of both
// operands and gather in a 2x2 matrix that one pass then applies to the
// whole of both; a long division serves when the top limbs allow no step.
// Internal to the limb layer.
//
// The steps never swap the pair: each subtracts a multiple of the smaller
// from the larger, x_i <- x_i - q x_(1-i). Every observer of the reduction
// (cofactors, the symbol's sign) is told of each step as reduced(i, q),
// of each applied matrix as applied(m) and of each division as
// divided(i, quotient); start() comes before each round.

#ifndef BIGNUM_SRC_LIMBS_LEHMER_H
#define BIGNUM_SRC_LIMBS_LEHMER_H

#include "limbs.h"

#include <array>

namespace bignum::limbs::lehmer {

// (x0, x1) = M (x0', x1') between the pair before and after some steps.
// det M = 1 and the entries are non-negative, so x0' = m11 x0 - m01 x1 and
// x1' = m00 x1 - m10 x0.
struct matrix {
    limb m00 = 1;
    limb m01 = 0;
    limb m10 = 0;
    limb m11 = 1;

    [[nodiscard]] bool identity() const noexcept { return m01 == 0 && m10 == 0; }
    // Records x_i <- x_i - q x_(1-i).
    void step(int i, limb q) noexcept
    {
        if (i == 0) {
            m01 += q * m00;
            m11 += q * m10;
        } else {
            m00 += q * m01;
            m10 += q * m11;
        }
    }
};

// x - q y for the quotient q of x >= y > 0, into x; returns q. Most
// quotients are 1 or 2: subtraction before division.
template <class Word>
limb divide_word(Word& x, Word y) noexcept
{
    Word r = x - y;
    if (r < y) {
        x = r;
        return 1;
    }
    r -= y;
    if (r < y) {
        x = r;
        return 2;
    }
    const auto q = static_cast<limb>(x / y);
    x -= Word{q} * y;
    return q;
}

// Euclid's steps on two words (limbs or wides), each taken only while the
// remainder stays at least `floor`; 0 runs to the end, where one is zero.
// With floor = 2^limb_bits on the top two limbs of a pair, both stay above
// the entries of the matrix, which is what keeps its products with the
// low parts from turning the whole operands negative, and each row's sum
// below 2^limb_bits.
template <class Word, class Observer>
matrix reduce(std::array<Word, 2>& x, Word floor, Observer& observer)
{
    matrix m;
    Word a = x[0];
    Word b = x[1];
    // Each arm tries a step on a copy and keeps it if the remainder passes.
    for (;;) {
        if (a >= b) {
            Word r = a;
            if (b == 0 || b < floor) {
                break;
            }
            const limb q = divide_word(r, b);
            if (r < floor) {
                break;
            }
            a = r;
            m.step(0, q);
            observer.reduced(0, q);
        } else {
            Word r = b;
            if (a == 0 || a < floor) {
                break;
            }
            const limb q = divide_word(r, a);
            if (r < floor) {
                break;
            }
            b = r;
            m.step(1, q);
            observer.reduced(1, q);
        }
    }
    x = {a, b};
    return m;
}

// The pair under reduction, in one buffer: each value zero above its size.
class operands {
public:
    // Both normalised; the larger's size sets the room.
    operands(view a, view b);

    [[nodiscard]] view value(int i) const noexcept { return {x_[i].data(), size_[i]}; }
    [[nodiscard]] std::size_t longer() const noexcept { return std::max(size_[0], size_[1]); }
    // The top two limbs of both, shifted alike so that the larger's top bit
    // fills the word: the pair's own value when it has two limbs.
    [[nodiscard]] std::array<wide, 2> top() const noexcept;
    // (x0, x1) <- M^-1 (x0, x1) for a matrix from reduce() on top().
    void apply(const matrix& m) noexcept;
    // x_i <- x_i mod x_(1-i), x_i the larger; returns the quotient.
    view divide(int i);
    [[nodiscard]] int larger() const noexcept { return compare(value(0), value(1)) >= 0 ? 0 : 1; }

private:
    void trim(int i) noexcept;

    scratch work_;
    std::array<span, 2> x_;
    std::array<std::size_t, 2> size_{};
    scratch quotient_;
};

inline constexpr wide two_limb_floor = wide{1} << limb_bits;

// Reduces the pair until one value is zero or both fit one limb.
template <class Observer>
void run(operands& x, Observer& observer)
{
    while (!x.value(0).empty() && !x.value(1).empty() && x.longer() > 1) {
        observer.start(x);
        std::array<wide, 2> top = x.top();
        const matrix m = reduce(top, two_limb_floor, observer);
        if (m.identity()) {
            const int i = x.larger();
            observer.divided(i, x.divide(i));
        } else {
            x.apply(m);
            observer.applied(m);
        }
    }
}

// Observes nothing: the plain gcd.
struct no_observer {
    void start(const operands& /*pair*/) noexcept {}
    void reduced(int /*i*/, limb /*q*/) noexcept {}
    void applied(const matrix& /*m*/) noexcept {}
    void divided(int /*i*/, view /*q*/) noexcept {}
};

// The low limb of a value, 0 for zero.
[[nodiscard]] inline limb low_limb(view a) noexcept { return a.empty() ? 0 : a[0]; }

} // namespace bignum::limbs::lehmer

#endif // BIGNUM_SRC_LIMBS_LEHMER_H
