// SPDX-License-Identifier: MIT
// Fibonacci(10000) modulo the Mersenne prime 2^127 - 1, two ways: ten
// thousand steps of the recurrence, and fourteen of fast doubling.

#include <bignum/integer.h>

#include <iostream>
#include <utility>

namespace {

using bignum::integer;

integer by_steps(int n, const integer& p)
{
    integer a = 0;
    integer b = 1;
    for (int i = 0; i < n; ++i) {
        a = std::exchange(b, (a + b) % p);
    }
    return a;
}

// (F(n), F(n + 1)) mod p from (F(k), F(k + 1)) for k = n / 2:
// F(2k) = F(k) (2 F(k + 1) - F(k)) and F(2k + 1) = F(k)^2 + F(k + 1)^2.
std::pair<integer, integer> by_doubling(unsigned n, const integer& p)
{
    if (n == 0) {
        return {0, 1};
    }
    const auto [f, g] = by_doubling(n / 2, p);
    integer even = f * ((2 * g - f) % p + p) % p;
    integer odd = (f * f + g * g) % p;
    if (n % 2 == 0) {
        return {std::move(even), std::move(odd)};
    }
    integer next = (even + odd) % p;
    return {std::move(odd), std::move(next)};
}

} // namespace

int main()
{
    const integer p = (integer(1) << 127) - 1;
    const integer stepped = by_steps(10000, p);
    const integer doubled = by_doubling(10000, p).first;
    std::cout << "2^127 - 1 is a probable prime: " << std::boolalpha << is_probable_prime(p) << '\n';
    std::cout << "F(10000) mod 2^127 - 1 = " << stepped << (stepped == doubled ? " (both ways)" : " (they differ)")
              << '\n';
}
