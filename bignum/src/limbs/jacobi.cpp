// SPDX-License-Identifier: MIT
// The Jacobi symbol of limb spans: Lehmer's reduction (lehmer.h) down to
// one limb, the symbol's sign following each step from the low bits of the
// pair, then the binary method on words.

#include "lehmer.h"
#include "limbs.h"

#include <bit>
#include <utility>

namespace bignum::limbs {

namespace {

using lehmer::operands;

// (2/x) = -1 for odd x = 3 or 5 mod 8.
bool two_is_non_residue(limb x) noexcept { return (((x >> 1) ^ (x >> 2)) & 1) != 0; }

// Reciprocity, (x/y) = -(y/x) for odd x = y = 3 mod 4.
bool reciprocity_flips(limb x, limb y) noexcept { return (x & y & 2) != 0; }

// (y/x) against (y/x') for odd x, x' = x - q y and even y = 2^k y', y'
// odd: (y/x) = (2/x)^k (2/x')^k (y'/x)(y'/x') (y/x') by reciprocity both
// ways through x = x' mod y'. For k >= 2, x = x' mod 4 (mod 8 for k >= 3)
// and the factors cancel.
bool even_step_flips(limb x, limb next, limb y) noexcept
{
    if ((y & 2) == 0) {
        return false;
    }
    const bool twos_flip = two_is_non_residue(x) != two_is_non_residue(next);
    const bool y_odd_part_3_mod_4 = (y & 4) != 0;
    return twos_flip != (y_odd_part_3_mod_4 && ((x ^ next) & 2) != 0);
}

// The binary method on words, with the sign so far: (a/n) for odd n.
int word_jacobi(limb a, limb n, bool negative) noexcept
{
    while (a != 0) {
        const int twos = std::countr_zero(a);
        a >>= twos;
        negative = negative != ((twos & 1) != 0 && two_is_non_residue(n));
        if (a < n) {
            negative = negative != reciprocity_flips(a, n);
            std::swap(a, n);
        }
        a -= n;
    }
    if (n != 1) {
        return 0;
    }
    return negative ? -1 : 1;
}

// The pair's symbol as the steps change it: the answer is +-(num/den), den
// the odd one of the pair. A step that reduces the denominator by an odd
// numerator turns the pair round by reciprocity, so the denominator stays
// odd; by an even one it keeps the roles, as even_step_flips() says.
class symbol {
public:
    void start(const operands& pair) noexcept
    {
        low_ = {lehmer::low_limb(pair.value(0)), lehmer::low_limb(pair.value(1))};
    }

    void reduced(int i, limb q) noexcept
    {
        const limb x = low_[i];
        const limb y = low_[1 - i];
        const limb next = x - q * y;
        if (den_ == i) {
            if ((y & 1) != 0) {
                negative_ = negative_ != reciprocity_flips(x, y);
                den_ = 1 - i;
            } else {
                negative_ = negative_ != even_step_flips(x, next, y);
            }
        }
        low_[i] = next;
    }

    void applied(const lehmer::matrix& /*m*/) noexcept {}
    void divided(int i, view q) noexcept { reduced(i, lehmer::low_limb(q)); }

    // The symbol once the reduction has ended.
    [[nodiscard]] int value(const operands& pair) const noexcept
    {
        const view num = pair.value(1 - den_);
        const view den = pair.value(den_);
        if (num.empty()) {
            return den.size() == 1 && den[0] == 1 ? (negative_ ? -1 : 1) : 0;
        }
        return word_jacobi(num[0], den[0], negative_);
    }

private:
    std::array<limb, 2> low_{};
    int den_ = 1;
    bool negative_ = false;
};

} // namespace

int jacobi(view a, view n)
{
    // The numerator reduced once, so that the pair has n's size.
    scratch rest(a.size() > n.size() ? n.size() : 0);
    if (a.size() > n.size()) {
        mod(rest.all(), a, n);
        a = trimmed(rest.all());
    }
    operands pair(a, n);
    symbol s;
    lehmer::run(pair, s);
    return s.value(pair);
}

} // namespace bignum::limbs
