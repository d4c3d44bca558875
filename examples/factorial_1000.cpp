// SPDX-License-Identifier: MIT
// 1000!, first the obvious way at the default precision, whose refusal says
// what to set; then with the precision sized beforehand from log2(1000!).

#include <bignum/integer.h>

#include <cmath>
#include <cstdint>
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
    try {
        std::cout << factorial(1000) << '\n';
    } catch (const big_error& e) {
        std::cout << "at precision " << bignum::precision() << ": " << e.what() << '\n';
    }
    // The capacity is four times the precision; lgamma(1001) is ln(1000!).
    const double bits = std::lgamma(1001.0) / std::log(2.0);
    bignum::set_precision(static_cast<std::uint64_t>(bits / 4) + 1);

    const std::string digits = factorial(1000).to_string();
    const int digit_sum =
        std::accumulate(digits.begin(), digits.end(), 0, [](int sum, char c) { return sum + c - '0'; });
    std::cout << "at precision " << bignum::precision() << ": 1000! has " << digits.size() << " digits, digit sum "
              << digit_sum << ", " << digits.size() - digits.find_last_not_of('0') - 1 << " trailing zeros\n"
              << digits << '\n';
}
