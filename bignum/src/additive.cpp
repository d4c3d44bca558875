// SPDX-License-Identifier: MIT
// Comparison, addition and subtraction: magnitude kernels, and the signed
// operations that only choose which kernel runs and which sign results.

#include "internal.h"

#include <algorithm>

using namespace bignum::detail;

namespace {

// |a| = ||a| - |b||, in place and without temporaries; the result takes
// `sign_if_b_larger` when |b| > |a|, and a zero result is +0.
void subtract_magnitudes(BigNum* a, const BigNum* b, std::uint32_t sign_if_b_larger)
{
    if (big_cmp_mag(a, b) >= 0) {
        big_sub_mag(a, b);
        return;
    }
    // Limbs of a above its used count are zero, so reading used(b) of them is
    // reading a's value.
    const std::uint32_t n = used(b);
    sub_limbs({limbs(a), n}, {limbs(b), n}, {limbs(a), n});
    used(a) = n;
    sign(a) = sign_if_b_larger;
    trim(a);
}

// Whether |a| + |b| over n limbs carries out of the top: exactly when
// a > ~b, that is a > 2^(32 n) - 1 - b, which the top limbs usually decide.
// Asked only at the capacity, before anything is written.
bool sum_carries_out(const Limb* a, const Limb* b, std::uint32_t n) noexcept
{
    for (std::uint32_t i = n; i-- > 0;) {
        if (a[i] != static_cast<Limb>(~b[i])) {
            return a[i] > static_cast<Limb>(~b[i]);
        }
    }
    return false; // a = ~b: the sum is all ones
}

// Whether a carry into these limbs runs out of their top: when all are ones.
bool carry_runs_out(std::span<const Limb> limbs) noexcept
{
    return std::all_of(limbs.begin(), limbs.end(), [](Limb l) { return l == ~Limb{0}; });
}

} // namespace

int big_cmp_mag(const BigNum* a, const BigNum* b)
{
    if (used(a) != used(b)) {
        return used(a) > used(b) ? 1 : -1;
    }
    return cmp_limbs(magnitude(a), magnitude(b));
}

int big_cmp(const BigNum* a, const BigNum* b)
{
    if (sign(a) != sign(b)) {
        return sign(b) != 0 ? 1 : -1;
    }
    const int by_magnitude = big_cmp_mag(a, b);
    return sign(b) != 0 ? -by_magnitude : by_magnitude;
}

void big_add_mag(BigNum* a, const BigNum* b)
{
    // Neither operand is read past its used count, whatever a valid block
    // holds there: the longer one's upper limbs take the carry alone.
    const std::uint32_t common = std::min(used(a), used(b));
    const BigNum* longer = used(b) > used(a) ? b : a;
    const std::uint32_t n = used(longer);
    const std::span<const Limb> upper{limbs(longer) + common, n - common};
    if (n == big_limb_capacity()) {
        require_room(!(sum_carries_out(limbs(a), limbs(b), common) && carry_runs_out(upper)));
    }
    Limb* l = limbs(a);
    Limb carry = add_limbs({l, common}, {l, common}, {limbs(b), common});
    for (std::uint32_t i = common; i < n; ++i) {
        const Wide sum = Wide{upper[i - common]} + carry;
        l[i] = low_word(sum);
        carry = high_word(sum);
    }
    used(a) = n;
    big_push_limb(a, carry);
}

void big_sub_mag(BigNum* a, const BigNum* b)
{
    sub_shorter_limbs(magnitude(a), {limbs(b), std::min(used(a), used(b))});
    trim(a);
}

void big_add_word(BigNum* a, std::uint32_t w)
{
    Limb* l = limbs(a);
    // Only a carry out of the lowest limb, at the capacity, can overflow.
    if (l[0] > static_cast<Limb>(~w) && used(a) == big_limb_capacity()) {
        require_room(!carry_runs_out(magnitude(a).subspan(1)));
    }
    Limb carry = w;
    for (std::uint32_t i = 0; i < used(a) && carry != 0; ++i) {
        const Wide sum = Wide{l[i]} + carry;
        l[i] = low_word(sum);
        carry = high_word(sum);
    }
    big_push_limb(a, carry);
}

void big_inc_mag(BigNum* a) { big_add_word(a, 1); }

void big_dec_mag(BigNum* a)
{
    Limb* l = limbs(a);
    const std::uint32_t top = used(a) - 1;
    std::uint32_t i = 0;
    // Borrow upward through zero limbs, never past the top used limb.
    while (i < top && l[i] == 0) {
        l[i++] = ~Limb{0};
    }
    --l[i];
    trim(a);
}

void big_add(BigNum* a, const BigNum* b)
{
    if (sign(a) == sign(b)) {
        big_add_mag(a, b);
    } else {
        subtract_magnitudes(a, b, sign(b));
    }
}

void big_sub(BigNum* a, const BigNum* b)
{
    // a - b = a + (-b): with different signs the magnitudes add.
    if (sign(a) != sign(b)) {
        big_add_mag(a, b);
    } else {
        subtract_magnitudes(a, b, sign(a) ^ 1U);
    }
}

void big_inc(BigNum* a)
{
    if (sign(a) == 0) {
        big_inc_mag(a);
    } else if (!is_zero(a)) {
        big_dec_mag(a);
    } else {
        big_set_word(a, 1);
    }
}

void big_dec(BigNum* a)
{
    if (sign(a) != 0) {
        big_inc_mag(a);
    } else if (!is_zero(a)) {
        big_dec_mag(a);
    } else {
        big_set_word(a, 1);
        sign(a) = 1;
    }
}
