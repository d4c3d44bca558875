// SPDX-License-Identifier: MIT
// 1000!, 10,000! and Fibonacci(100,000): an integer grows as its value
// needs, so the obvious loops just work, with nothing to set beforehand.

#include <bignum/integer.h>

#include <iostream>
#include <numeric>
#include <string>
#include <utility>

namespace {

bignum::integer factorial(int n)
{
    bignum::integer f = 1;
    for (int k = 2; k <= n; ++k) {
        f *= k;
    }
    return f;
}

bignum::integer fibonacci(int n)
{
    bignum::integer a = 0;
    bignum::integer b = 1;
    for (int k = 0; k < n; ++k) {
        a += b;
        std::swap(a, b);
    }
    return a;
}

// "<name> has <bits> bits, <digits> digits, digit sum <sum>, <zeros>
// trailing zeros", and the digits that follow.
std::string described(const std::string& name, const bignum::integer& x)
{
    const std::string digits = x.to_string();
    const int digit_sum =
        std::accumulate(digits.begin(), digits.end(), 0, [](int sum, char c) { return sum + c - '0'; });
    return name + " has " + std::to_string(x.bit_length()) + " bits, " + std::to_string(digits.size()) +
           " digits, digit sum " + std::to_string(digit_sum) + ", " +
           std::to_string(digits.size() - digits.find_last_not_of('0') - 1) + " trailing zeros\n" + digits + '\n';
}

} // namespace

int main()
{
    std::cout << described("1000!", factorial(1000)) << described("10000!", factorial(10000))
              << described("F(100000)", fibonacci(100000));
}
