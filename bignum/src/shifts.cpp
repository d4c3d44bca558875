// SPDX-License-Identifier: MIT
// Shifts and bit masks, on the magnitude; the sign word rides along.

#include "internal.h"

#include <cstring>

using namespace bignum::detail;

namespace {

// Raises unless |x| shifted left by count fits: the whole limbs, and one more
// when the top limb's bits spill over. Checked before anything moves, so a
// refused shift changes nothing.
void require_shift_room(const BigNum* x, std::uint32_t count)
{
    if (is_zero(x)) {
        return; // zero shifted any distance is still zero
    }
    const std::uint32_t bits = count % limb_bits;
    const bool spills = bits > 0 && (limbs(x)[used(x) - 1] >> (limb_bits - bits)) != 0;
    require_room(count / limb_bits + (spills ? 1U : 0U) <= big_limb_capacity() - used(x));
}

// big_shl once the room is known. A zero stays as it is, a negative one too:
// the sign is kept, and nothing is truncated.
void shift_left(BigNum* x, std::uint32_t count)
{
    if (is_zero(x)) {
        return;
    }
    const std::uint32_t whole = count / limb_bits;
    const std::uint32_t bits = count % limb_bits;
    Limb* l = limbs(x);
    if (whole > 0) {
        std::memmove(l + whole, l, used(x) * sizeof(Limb));
        std::memset(l, 0, whole * sizeof(Limb));
        used(x) += whole;
    }
    if (bits > 0) {
        const std::uint32_t u = used(x);
        const Limb spill = l[u - 1] >> (limb_bits - bits);
        for (std::uint32_t i = u - 1; i > whole; --i) {
            l[i] = (l[i] << bits) | (l[i - 1] >> (limb_bits - bits));
        }
        l[whole] <<= bits;
        big_push_limb(x, spill);
    }
}

} // namespace

std::uint32_t big_shl1(BigNum* x)
{
    require_shift_room(x, 1);
    const Limb carry = shl1_limbs(magnitude(x), 0);
    big_push_limb(x, carry);
    return carry;
}

std::uint32_t big_shr1(BigNum* x)
{
    Limb* l = limbs(x);
    Limb carry = 0;
    for (std::uint32_t i = used(x); i-- > 0;) {
        const Limb out = l[i] & 1U;
        l[i] = (l[i] >> 1) | (carry << (limb_bits - 1));
        carry = out;
    }
    trim(x);
    return carry;
}

void big_shl(BigNum* x, std::uint32_t count)
{
    require_shift_room(x, count);
    shift_left(x, count);
}

void big_shr(BigNum* x, std::uint32_t count)
{
    const std::uint32_t whole = count / limb_bits;
    const std::uint32_t bits = count % limb_bits;
    Limb* l = limbs(x);
    if (whole > 0) {
        if (whole >= used(x)) {
            big_zero(x);
            return;
        }
        const std::uint32_t kept = used(x) - whole;
        std::memmove(l, l + whole, kept * sizeof(Limb));
        std::memset(l + kept, 0, whole * sizeof(Limb));
        used(x) = kept;
    }
    if (bits > 0) {
        const std::uint32_t top = used(x) - 1;
        for (std::uint32_t i = 0; i < top; ++i) {
            l[i] = (l[i] >> bits) | (l[i + 1] << (limb_bits - bits));
        }
        l[top] >>= bits;
        trim(x);
    }
}

void big_shl_to(const BigNum* src, std::uint32_t count, BigNum* dst)
{
    require_shift_room(src, count); // before dst, when it is not src, is overwritten
    copy_value(dst, src);
    shift_left(dst, count);
}

void big_shr_to(const BigNum* src, std::uint32_t count, BigNum* dst)
{
    copy_value(dst, src);
    big_shr(dst, count);
}

void big_low_bits(const BigNum* src, std::uint32_t k, BigNum* dst)
{
    copy_value(dst, src);
    const std::uint32_t j = k / limb_bits;
    const std::uint32_t u = used(dst);
    if (u > j) { // else every bit already lies below bit k
        Limb* l = limbs(dst);
        std::memset(l + j + 1, 0, (u - j - 1) * sizeof(Limb));
        l[j] &= (Limb{1} << (k % limb_bits)) - 1;
    }
    trim(dst); // a zero result, a kept negative zero too, is +0
}
