// SPDX-License-Identifier: MIT
// 1000!: an integer grows as its value needs, so the obvious loop just works.

#include <bignum/integer.h>

#include <iostream>
#include <numeric>
#include <string>

namespace {

bignum::integer factorial(int n)
{
    bignum::integer f = 1;
    for (int k = 2; k <= n; ++k) {
        f *= k;
    }
    return f;
}

} // namespace

int main()
{
    const bignum::integer f = factorial(1000);
    const std::string digits = f.to_string();
    const int digit_sum =
        std::accumulate(digits.begin(), digits.end(), 0, [](int sum, char c) { return sum + c - '0'; });
    std::cout << "1000! has " << f.bit_length() << " bits, " << digits.size() << " digits, digit sum " << digit_sum
              << ", " << digits.size() - digits.find_last_not_of('0') - 1 << " trailing zeros\n"
              << digits << '\n';
}
