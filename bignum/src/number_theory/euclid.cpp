// SPDX-License-Identifier: MIT
// Euclidean algorithms by repeated bit-serial division. Working values move
// by rotating handles, not by copying blocks.

#include "../internal.h"

#include <tuple>

using namespace bignum::detail;

void big_gcd(const BigNum* a, const BigNum* b, BigNum* r)
{
    const Scratch s1;
    const Scratch s2;
    const Scratch s3;
    BigNum* x = s1;
    BigNum* y = s2;
    BigNum* t = s3;
    big_copy(x, a);
    big_copy(y, b);
    while (!is_zero(y)) {
        big_mod(x, y, t);
        std::tie(x, y, t) = std::tuple{y, t, x};
    }
    big_copy(r, x);
}

void big_lcm(const BigNum* a, const BigNum* b, BigNum* r)
{
    const Scratch g;
    const Scratch product;
    big_gcd(a, b, g);
    big_mul(a, b, product);
    big_divmod(product, g, r, nullptr);
}

void big_invmod(const BigNum* a, const BigNum* m, BigNum* r)
{
    // r is scratch until the end, and m is read again at the second exit.
    require(r != m, big_error::reason::result_is_modulus);
    // Invariants: A = C1 x a and B = -C2 x a (mod m), both coefficients
    // non-negative; each division runs in place, so one quotient serves both
    // directions.
    const Scratch A;
    const Scratch B;
    const Scratch Q;
    const Scratch C1(1);
    const Scratch C2;
    big_copy(A, a);
    big_copy(B, m);
    for (;;) {
        if (is_one(A)) {
            big_copy(r, C1);
            return;
        }
        big_divmod(B, A, Q, B);
        big_mul(Q, C1, r);
        big_add(C2, r);
        if (is_one(B)) {
            big_copy(r, m);
            big_sub(r, C2);
            return;
        }
        big_divmod(A, B, Q, A);
        big_mul(Q, C2, r);
        big_add(C1, r);
    }
}

namespace {

// (prev, cur) = (cur, prev - cur x q); spare is scratch and rotates with them.
void next_coefficient(BigNum*& prev, BigNum*& cur, BigNum*& spare, const BigNum* q, BigNum* product)
{
    big_mul(cur, q, product);
    copy_value(spare, prev);
    big_sub(spare, product);
    std::tie(prev, cur, spare) = std::tuple{cur, spare, prev};
}

} // namespace

void big_xgcd(const BigNum* a, const BigNum* b, BigNum* x, BigNum* y)
{
    require(x != y, big_error::reason::x_is_y);
    const Scratch s_a;
    const Scratch s_b;
    const Scratch s_rem;
    const Scratch q;
    const Scratch product;
    const Scratch s_prev_store;
    const Scratch s_cur_store(1);
    const Scratch s_spare;
    const Scratch t_prev_store(1);
    const Scratch t_cur_store;
    const Scratch t_spare;
    BigNum* rem_a = s_a;
    BigNum* rem_b = s_b;
    BigNum* rem_next = s_rem;
    BigNum* s_prev = s_prev_store;
    BigNum* s_cur = s_cur_store;
    BigNum* s_next = s_spare;
    BigNum* t_prev = t_prev_store;
    BigNum* t_cur = t_cur_store;
    BigNum* t_next = t_spare;
    big_copy(rem_a, a);
    big_copy(rem_b, b);
    // The s chain (0, 1, ...) belongs to b and the t chain (1, 0, ...) to a.
    while (!is_zero(rem_b)) {
        big_divmod(rem_a, rem_b, q, rem_next);
        std::tie(rem_a, rem_b, rem_next) = std::tuple{rem_b, rem_next, rem_a};
        next_coefficient(s_prev, s_cur, s_next, q, product);
        next_coefficient(t_prev, t_cur, t_next, q, product);
    }
    big_copy(x, s_prev);
    big_copy(y, t_prev);
}
