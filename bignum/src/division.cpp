// Restoring binary long division: one bit of the dividend per step.

#include "internal.h"

#include <optional>

using namespace bignum::detail;

namespace {

// R = |a| mod |b| and, when Q is given, Q's limbs = |a| / |b| (used count left
// for the caller to set). R and Q start at zero. R never needs more limbs
// than a has read so far, so the doubling cannot reach the capacity.
void divide_bits(const BigNum* a, const BigNum* b, BigNum* R, BigNum* Q)
{
    for (std::uint32_t k = big_bit_length(a); k-- > 0;) {
        big_shl1(R);
        limbs(R)[0] |= bit_of(a, k);
        if (big_cmp_mag(R, b) >= 0) {
            big_sub_mag(R, b);
            if (Q != nullptr) {
                set_bit(Q, k);
            }
        }
    }
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
    require(q == nullptr || q != r);
    // q or r may be a or b: take the signs before anything is written.
    const std::uint32_t sign_a = sign(a);
    const std::uint32_t sign_b = sign(b);
    const int order = big_cmp_mag(a, b);
    if (order < 0) {
        if (r != nullptr) {
            big_copy(r, a);
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
        big_copy(q, *Q);
        sign(q) = sign_a ^ sign_b;
    }
    if (r != nullptr) {
        big_copy(r, R);
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
        big_copy(q, *Q);
    }
    return static_cast<std::uint32_t>(rem);
}
