// SPDX-License-Identifier: MIT
// Restoring binary long division: one bit of the dividend per step.

#include "internal.h"

#include <algorithm>
#include <optional>

using namespace bignum::detail;

namespace {

// R = |a| mod |b| and, when Q is given, Q's limbs = |a| / |b| (used count left
// for the caller to set). R and Q start at zero. R never needs more limbs
// than a has read so far, so the doubling cannot reach the capacity.
// Each step is big_shl1, big_cmp_mag and big_sub_mag on R's limbs, with R's
// used count kept in a local so that the loop makes no calls. The dividend is
// read a limb at a time, and each limb's quotient bits gather in a register
// and go into Q's zeroed limb with one store.
void divide_bits(const BigNum* a, const BigNum* b, BigNum* R, BigNum* Q)
{
    const std::uint32_t nb = used(b);
    const Limb* divisor = limbs(b);
    Limb* rest = limbs(R);
    std::uint32_t n = used(R);
    const std::uint32_t bits = big_bit_length(a);
    for (std::uint32_t w = (bits + limb_bits - 1) / limb_bits; w-- > 0;) {
        const Limb word = limbs(a)[w];
        Limb quotient = 0;
        for (std::uint32_t j = std::min(bits - w * limb_bits, limb_bits); j-- > 0;) {
            const Limb out = shl1_limbs({rest, n}, (word >> j) & 1U);
            if (out != 0) {
                rest[n++] = out;
            }
            // b is read to its used count only, whatever lies above it: so R
            // never wraps below zero, and stays within the bits of a read.
            if (n > nb || (n == nb && cmp_limbs({rest, n}, {divisor, n}) >= 0)) {
                sub_shorter_limbs({rest, n}, {divisor, nb});
                n = significant_limbs(rest, n);
                quotient |= Limb{1} << j;
            }
        }
        if (Q != nullptr) {
            limbs(Q)[w] = quotient;
        }
    }
    used(R) = n;
}

// The quotient's bits went straight into Q's limbs; it has at most a's limbs.
void count_quotient(BigNum* Q, const BigNum* a)
{
    used(Q) = used(a);
    trim(Q);
}

// Quotient into q and remainder into r, each when given.
void divide(const BigNum* a, const BigNum* b, BigNum* q, BigNum* r)
{
    require_nonzero_divisor(b);
    require(q == nullptr || q != r, big_error::reason::quotient_is_remainder);
    // q or r may be a or b: take the signs before anything is written.
    const std::uint32_t sign_a = sign(a);
    const std::uint32_t sign_b = sign(b);
    const int order = big_cmp_mag(a, b);
    if (order < 0) {
        if (r != nullptr) {
            copy_value(r, a);
        }
        if (q != nullptr) {
            big_zero(q);
        }
        return;
    }
    if (order == 0) {
        if (r != nullptr) {
            big_zero(r);
        }
        if (q != nullptr) {
            big_set_word(q, 1);
            sign(q) = sign_a ^ sign_b;
        }
        return;
    }
    const Scratch R;
    std::optional<Scratch> Q;
    if (q != nullptr) {
        Q.emplace();
    }
    divide_bits(a, b, R, Q ? static_cast<BigNum*>(*Q) : nullptr);
    // The quotient first: its length comes from a, which r may be.
    if (q != nullptr) {
        count_quotient(*Q, a);
        copy_value(q, *Q);
        sign(q) = sign_a ^ sign_b;
    }
    if (r != nullptr) {
        copy_value(r, R);
        sign(r) = is_zero(R) ? 0 : sign_a;
    }
}

} // namespace

void big_divmod(const BigNum* a, const BigNum* b, BigNum* q, BigNum* r) { divide(a, b, q, r); }

void big_mod(const BigNum* a, const BigNum* b, BigNum* r) { divide(a, b, nullptr, r); }

std::uint32_t big_div_word(const BigNum* a, std::uint32_t w, BigNum* q)
{
    if (w == 0) {
        throw big_division_by_zero{};
    }
    std::optional<Scratch> Q;
    if (q != nullptr) {
        Q.emplace();
    }
    // Below 2w after each doubling: 33 bits, hence the wide type.
    Wide rem = 0;
    for (std::uint32_t k = big_bit_length(a); k-- > 0;) {
        rem = (rem << 1) | bit_of(a, k);
        if (rem >= w) {
            rem -= w;
            if (Q) {
                set_bit(*Q, k);
            }
        }
    }
    if (q != nullptr) {
        count_quotient(*Q, a);
        copy_value(q, *Q);
    }
    return static_cast<std::uint32_t>(rem);
}
