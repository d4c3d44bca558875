// SPDX-License-Identifier: MIT
// Schoolbook multiplication and squaring into a zeroed product temporary:
// by rows for short operands, by columns (multiplication_kernel.h) for long.

#include "internal.h"
#include "multiplication_kernel.h"

#include <algorithm>

using namespace bignum::detail;

namespace {

// The operands' used counts may add up to one limb more than the capacity:
// the product then fits exactly when its top limb, the last row's carry, is
// zero, so that limb is tested instead of stored.
void store_row_carry(BigNum* t, std::uint32_t index, Limb carry, std::uint32_t capacity)
{
    if (index < capacity) {
        limbs(t)[index] = carry;
    } else {
        require_room(carry == 0);
    }
}

void require_product_room(std::uint32_t limbs_needed) { require_room(limbs_needed <= big_limb_capacity() + 1); }

// Gives t the used count of a product of `product_limbs` limbs, then trims.
void finish_product(BigNum* t, std::uint32_t product_limbs, std::uint32_t product_sign)
{
    used(t) = std::min(product_limbs, big_limb_capacity());
    trim(t);
    sign(t) = product_sign;
}

// t[0 .. 2n) = a[0 .. n)^2 into zeroed limbs, row by row. n is a used count,
// 32 bits: so bounded, GCC keeps one index per row and an instruction less
// per limb product than with a 64-bit count.
void sqr_rows(const Limb* al, std::uint32_t n, Limb* tl)
{
    // Each cross product a[i] x a[j], i < j, once ...
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const std::size_t rest = n - i - 1;
        tl[i + n] = mul_add_limbs({tl + 2 * i + 1, rest}, {al + i + 1, rest}, al[i]);
    }
    // ... doubled: the cross sum is below a^2 / 2, so no bit leaves limb 2n - 1.
    Limb carry = 0;
    for (std::size_t i = 0; i < std::size_t{2} * n; ++i) {
        const Limb out = tl[i] >> (limb_bits - 1);
        tl[i] = (tl[i] << 1) | carry;
        carry = out;
    }
    // ... plus the diagonal squares.
    carry = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const Wide square = Wide{al[i]} * al[i];
        const Wide low = Wide{tl[2 * i]} + low_word(square) + carry;
        tl[2 * i] = low_word(low);
        const Wide high = Wide{tl[2 * i + 1]} + high_word(square) + high_word(low);
        tl[2 * i + 1] = low_word(high);
        carry = high_word(high);
    }
}

} // namespace

void big_mul_mag(const BigNum* a, const BigNum* b, BigNum* t)
{
    const std::uint32_t na = used(a);
    const std::uint32_t nb = used(b);
    require_product_room(na + nb);
    // Read once: the rows then keep everything they need in registers.
    const std::uint32_t capacity = big_limb_capacity();
    const Limb* al = limbs(a);
    const std::span<const Limb> bl = magnitude(b);
    Limb* tl = limbs(t);
    if (columns_pay_off(std::min(na, nb))) {
        store_row_carry(t, na + nb - 1, mul_columns(al, na, bl.data(), nb, tl), capacity);
        return;
    }
    for (std::uint32_t i = 0; i < na; ++i) {
        // No earlier row reached limb i + nb: a plain store, not an addition.
        store_row_carry(t, i + nb, mul_add_limbs({tl + i, nb}, bl, al[i]), capacity);
    }
}

void big_sqr_mag(const BigNum* a, BigNum* t)
{
    const std::uint32_t n = used(a);
    require_room(2 * std::size_t{n} <= big_limb_capacity());
    if (columns_pay_off(n)) {
        sqr_columns(limbs(a), n, limbs(t));
    } else {
        sqr_rows(limbs(a), n, limbs(t));
    }
}

void big_mul_word_mag(const BigNum* a, std::uint32_t w, BigNum* t)
{
    const std::uint32_t n = used(a);
    require_product_room(n + 1);
    store_row_carry(t, n, mul_add_limbs({limbs(t), n}, magnitude(a), w), big_limb_capacity());
}

void big_mul(const BigNum* a, const BigNum* b, BigNum* r)
{
    const Scratch t;
    if (!is_zero(a) && !is_zero(b)) {
        big_mul_mag(a, b, t);
        finish_product(t, used(a) + used(b), sign(a) ^ sign(b));
    }
    copy_value(r, t);
}

void big_sqr(BigNum* a)
{
    if (used(a) == 1 && limbs(a)[0] <= 1) {
        big_set_word(a, limbs(a)[0]); // 0 and 1 square to themselves, +-1 to +1
        return;
    }
    const Scratch t;
    big_sqr_mag(a, t);
    finish_product(t, 2 * used(a), 0);
    copy_value(a, t);
}

void big_mul_word(BigNum* a, std::uint32_t w)
{
    if (is_zero(a) || w == 0) {
        big_zero(a);
        return;
    }
    const Scratch t;
    big_mul_word_mag(a, w, t);
    finish_product(t, used(a) + 1, sign(a));
    copy_value(a, t);
}
