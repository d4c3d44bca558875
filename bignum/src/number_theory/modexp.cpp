// SPDX-License-Identifier: MIT
// Modular product and exponentiation: Montgomery for odd moduli, with
// R = 2^k for the modulus's exact bit length k, so that reducing modulo R and
// dividing by R are a bit mask and a shift.

#include "../internal.h"

#include <algorithm>
#include <optional>

using namespace bignum::detail;

namespace {

// r = x mod |n|, in 0 .. |n| - 1.
void reduce_nonnegative(const BigNum* x, const BigNum* n, BigNum* r)
{
    big_mod(x, n, r);
    if (is_zero(r)) {
        sign(r) = 0; // a negative zero's residue is 0, not |n|
    } else if (sign(r) != 0) {
        // |r| < |n|: adding |n| lands in range.
        if (sign(n) != 0) {
            big_sub(r, n);
        } else {
            big_add(r, n);
        }
    }
}

// x itself when |x| < |m|, else x mod m (the truncating remainder) in `room`.
// Reducing a long operand first keeps it from refusing a product or shift
// whose every step fits; a shorter one, a negative one too, stays as it is,
// since bringing it into 0 .. |m| - 1 could double its limbs.
const BigNum* below_modulus(const BigNum* x, const BigNum* m, BigNum* room)
{
    if (big_cmp_mag(x, m) < 0) {
        return x;
    }
    big_mod(x, m, room);
    return room;
}

// A value of base's residue modulo n (positive) with the fewest bits: base
// itself when |base| < n, else its remainder (in `room`), or, when that is
// negative, its sum with n (in `complement`) if shorter. Shifting it into
// Montgomery form then fits wherever either of them would: -1 modulo
// 2^224 - 1 and -(n - 1), whose sum with n is 1, alike.
const BigNum* shortest_residue(const BigNum* base, const BigNum* n, BigNum* room, BigNum* complement)
{
    const BigNum* b = below_modulus(base, n, room);
    if (sign(b) == 0 || is_zero(b)) {
        return b;
    }
    copy_value(complement, n);
    big_add(complement, b); // n - |b|, in 1 .. n - 1
    return big_bit_length(complement) < big_bit_length(b) ? complement : b;
}

// n_prime = -n^-1 mod 2^k for an odd n, one limb at a time: each limb of the
// result is the one that clears the next limb of 1 + n x n_prime, as in a
// Montgomery reduction. Quadratic in limbs where the general inverse is
// cubic, and nothing in it can pass the capacity: it works in the limbs of
// 2^k - 1, fewer than the capacity. n_prime starts as 0.
void negative_inverse(const BigNum* n, std::uint32_t k, BigNum* n_prime)
{
    const std::uint32_t count = (k + limb_bits - 1) / limb_bits;
    const Limb n0 = limbs(n)[0];
    Limb inverse = n0; // n0^-1 mod 2^3 for any odd n0; each step doubles the bits
    for (int bits = 3; bits < static_cast<int>(limb_bits); bits *= 2) {
        inverse *= 2 - n0 * inverse;
    }
    const Limb factor = 0 - inverse;
    const Scratch sum(1); // 1 + n x n_prime so far, zero below limb i
    Limb* s = limbs(sum);
    Limb* x = limbs(n_prime);
    const std::span<const Limb> nl = magnitude(n);
    for (std::uint32_t i = 0; i < count; ++i) {
        x[i] = s[i] * factor;
        const std::size_t width = std::min<std::size_t>(nl.size(), count - i);
        Limb carry = mul_add_limbs({s + i, width}, nl.first(width), x[i]);
        for (std::size_t j = i + width; carry != 0 && j < count; ++j) {
            const Wide t = Wide{s[j]} + carry;
            s[j] = low_word(t);
            carry = high_word(t);
        }
    }
    used(n_prime) = count;
    big_low_bits(n_prime, k, n_prime);
}

// The modulus and its constants, with the step's scratch values.
struct Montgomery {
    const BigNum* n;       // odd, positive
    const BigNum* n_prime; // n x n_prime = -1 (mod R)
    std::uint32_t k;       // R = 2^k
    BigNum* u;
    BigNum* m;
    BigNum* v;

    // y = t / R mod n, for 0 <= t < n R; t may not be y.
    void reduce(const BigNum* t, BigNum* y) const
    {
        big_mul(t, n_prime, u); // t is not reduced mod R first
        big_low_bits(u, k, m);
        big_mul(m, n, v);
        big_add(v, t); // a multiple of R
        big_shr_to(v, k, y);
        if (big_cmp(y, n) >= 0) { // y < 2n before, so once is enough
            big_sub(y, n);
        }
    }

    // y = x y / R mod n; x may be y.
    void multiply(const BigNum* x, BigNum* y, BigNum* product) const
    {
        big_mul(x, y, product);
        reduce(product, y);
    }
};

} // namespace

void big_mulmod(const BigNum* a, const BigNum* b, const BigNum* m, BigNum* r)
{
    require_nonzero_divisor(m);
    const Scratch a_part;
    const Scratch b_part;
    const Scratch product;
    // When the product might not fit, operands past the modulus are reduced
    // first. The truncating remainder stays the same: the same residue, and a
    // non-zero one still has the sign of a x b.
    const bool may_not_fit = big_bit_length(a) + big_bit_length(b) > limb_bits * big_limb_capacity();
    big_mul(may_not_fit ? below_modulus(a, m, a_part) : a, may_not_fit ? below_modulus(b, m, b_part) : b, product);
    big_mod(product, m, r);
}

void big_powmod(const BigNum* base, const BigNum* exp, const BigNum* mod, BigNum* r)
{
    require_nonzero_divisor(mod);
    if (is_odd(mod)) {
        big_powmod_mont(base, exp, mod, r);
        return;
    }
    const Scratch reduced;
    const BigNum* b = below_modulus(base, mod, reduced);
    const Scratch acc(1);
    const std::uint32_t bits = big_bit_length(exp);
    for (std::uint32_t i = bits; i-- > 0;) {
        if (i + 1 != bits) { // the top bit only multiplies
            big_sqr(acc);
            reduce_nonnegative(acc, mod, acc);
        }
        if (bit_of(exp, i) != 0) {
            big_mul(acc, b, acc);
            reduce_nonnegative(acc, mod, acc);
        }
    }
    big_copy(r, acc);
}

void big_powmod_mont(const BigNum* base, const BigNum* exp, const BigNum* mod, BigNum* r)
{
    // An even modulus has no inverse modulo R.
    if (!is_odd(mod)) {
        throw big_division_by_zero{};
    }
    // The modulus is read by its magnitude: only a negative one needs a
    // working copy, beyond the values the method itself names.
    std::optional<Scratch> positive;
    const BigNum* n = mod;
    if (sign(mod) != 0) {
        positive.emplace();
        copy_value(*positive, mod);
        sign(*positive) = 0;
        n = *positive;
    }
    const Scratch radix;
    const Scratch n_prime;
    const Scratch base_m;
    const Scratch complement;
    const Scratch acc_m;
    const Scratch t;
    const Scratch u;
    const Scratch m;
    const Scratch v;

    const std::uint32_t k = big_bit_length(n);
    require_room(k / limb_bits < big_limb_capacity());
    set_bit(radix, k);
    used(radix) = k / limb_bits + 1;
    negative_inverse(n, k, n_prime);
    const Montgomery ctx{n, n_prime, k, u, m, v};

    big_shl_to(shortest_residue(base, n, base_m, complement), k, t);
    reduce_nonnegative(t, n, base_m); // base R mod n
    big_copy(acc_m, radix);
    big_sub(acc_m, n); // R mod n, since n < R < 2n

    for (std::uint32_t i = big_bit_length(exp); i-- > 0;) {
        ctx.multiply(acc_m, acc_m, t);
        if (bit_of(exp, i) != 0) {
            ctx.multiply(base_m, acc_m, t);
        }
    }
    ctx.reduce(acc_m, t); // out of Montgomery form
    big_copy(r, t);
}
