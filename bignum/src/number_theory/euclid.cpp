// SPDX-License-Identifier: MIT
// Euclidean algorithms by repeated bit-serial division. Working values move
// by rotating handles, not by copying blocks.

#include "../internal.h"

#include <tuple>

using namespace bignum::detail;

namespace {

// A working copy read by its value. A zero limb a loader left on top would
// make the divisions misjudge sizes, and a remainder chain could then shrink
// by a little per step and outlast any caller.
void load_value(BigNum* dst, const BigNum* src)
{
    copy_value(dst, src);
    trim(dst);
}

} // namespace

void big_gcd(const BigNum* a, const BigNum* b, BigNum* r)
{
    const Scratch s1;
    const Scratch s2;
    const Scratch s3;
    BigNum* x = s1;
    BigNum* y = s2;
    BigNum* t = s3;
    load_value(x, a);
    sign(x) = sign(a); // a zero keeps its sign: gcd(-0, 0) is a copy of a
    load_value(y, b);
    while (!is_zero(y)) {
        big_mod(x, y, t);
        std::tie(x, y, t) = std::tuple{y, t, x};
    }
    big_copy(r, x);
}

void big_lcm(const BigNum* a, const BigNum* b, BigNum* r)
{
    // g divides a exactly, so (a / g) x b is a x b / g, and no product larger
    // than the result is formed.
    const Scratch g;
    const Scratch part;
    big_gcd(a, b, g);
    load_value(part, a);
    big_divmod(part, g, part, nullptr);
    big_mul(part, b, r);
}

void big_invmod(const BigNum* a, const BigNum* m, BigNum* r)
{
    require(r != m, big_error::reason::result_is_modulus);
    // Invariants: A = C1 x a and B = -C2 x a (mod m), both coefficients
    // non-negative; each division runs in place, so one quotient serves both
    // directions. r is written only at an exit: a missing inverse (a zero
    // divisor in the chain) raises with r untouched.
    const Scratch A;
    const Scratch B;
    const Scratch Q;
    const Scratch C1(1);
    const Scratch C2;
    const Scratch T;
    load_value(A, a);
    load_value(B, m);
    for (;;) {
        if (is_one(A)) {
            big_copy(r, C1);
            return;
        }
        big_divmod(B, A, Q, B);
        big_mul(Q, C1, T);
        big_add(C2, T);
        if (is_one(B)) {
            load_value(T, m);
            big_sub(T, C2);
            big_copy(r, T);
            return;
        }
        big_divmod(A, B, Q, A);
        big_mul(Q, C2, T);
        big_add(C1, T);
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
    load_value(rem_a, a);
    load_value(rem_b, b);
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
