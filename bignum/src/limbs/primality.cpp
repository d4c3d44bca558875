// SPDX-License-Identifier: MIT
// Probable-prime tests of limb spans.

#include "limbs.h"

#include <algorithm>
#include <array>
#include <vector>

namespace bignum::limbs {

namespace {

constexpr std::array<limb, 12> small_primes{2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37};

// A strong probable-prime test of odd x > 37 to the base a.
bool strong_probable_prime(view x, limb a)
{
    const std::size_t n = x.size();
    std::vector<limb> x_minus_1(x.begin(), x.end());
    sub_1(x_minus_1, x_minus_1, 1);
    std::size_t s = 0;
    while ((x_minus_1[s / limb_bits] >> (s % limb_bits) & 1) == 0) {
        ++s;
    }
    std::vector<limb> d(n, 0);
    for (std::size_t i = s; i < n * limb_bits; ++i) {
        if ((x_minus_1[i / limb_bits] >> (i % limb_bits) & 1) != 0) {
            d[(i - s) / limb_bits] |= limb{1} << ((i - s) % limb_bits);
        }
    }
    std::vector<limb> y(n);
    const std::array<limb, 1> base{a};
    pow_mod(y, base, trimmed(d), x);
    const std::vector<limb> one = [n] {
        std::vector<limb> v(n, 0);
        v[0] = 1;
        return v;
    }();
    if (y == one || y == x_minus_1) {
        return true;
    }
    std::vector<limb> p(2 * n);
    for (std::size_t i = 1; i < s; ++i) {
        sqr(p, y);
        mod(y, p, x);
        if (y == x_minus_1) {
            return true;
        }
        if (y == one) {
            return false;
        }
    }
    return false;
}

} // namespace

bool is_probable_prime(view x, int rounds)
{
    x = trimmed(x);
    if (x.empty()) {
        return false;
    }
    for (const limb p : small_primes) {
        if (x.size() == 1 && x[0] == p) {
            return true;
        }
        if (mod_1(x, p) == 0) {
            return false;
        }
    }
    if (x.size() == 1 && x[0] < 41 * 41) {
        return x[0] != 1;
    }
    const int bases = std::max(rounds, static_cast<int>(small_primes.size()));
    for (int i = 0; i < bases; ++i) {
        const limb a = i < static_cast<int>(small_primes.size()) ? small_primes[static_cast<std::size_t>(i)]
                                                                 : static_cast<limb>(41 + 2 * i);
        if (!strong_probable_prime(x, a)) {
            return false;
        }
    }
    return true;
}

} // namespace bignum::limbs
