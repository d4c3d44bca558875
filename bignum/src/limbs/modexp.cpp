// SPDX-License-Identifier: MIT
// Modular exponentiation of limb spans.

#include "limbs.h"

#include <algorithm>

namespace bignum::limbs {

// Left-to-right binary powering, each product reduced by division.
void pow_mod(span r, view b, view e, view m)
{
    const std::size_t n = m.size();
    scratch work(3 * n);
    const span acc = work.first(n);
    const span product = work.all().subspan(n, 2 * n);
    std::fill(acc.begin(), acc.end(), 0);
    acc[0] = 1;
    if (n == 1 && m[0] == 1) {
        acc[0] = 0;
    }
    const view base = b;
    for (std::size_t i = e.size() * limb_bits; i-- > 0;) {
        sqr(product, acc);
        mod(acc, product, m);
        if ((e[i / limb_bits] >> (i % limb_bits) & 1) != 0 && !base.empty()) {
            std::fill(product.begin(), product.end(), 0);
            mul(product.first(n + base.size()), acc, base);
            mod(acc, product, m);
        } else if ((e[i / limb_bits] >> (i % limb_bits) & 1) != 0) {
            std::fill(acc.begin(), acc.end(), 0);
        }
    }
    std::copy(acc.begin(), acc.end(), r.begin());
}

} // namespace bignum::limbs
