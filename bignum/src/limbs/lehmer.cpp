// SPDX-License-Identifier: MIT
// Lehmer's reduction on whole operands: the top limbs it reads, the matrix
// it applies, the division it falls back on.

#include "lehmer.h"

#include <algorithm>
#include <bit>

namespace bignum::limbs::lehmer {

operands::operands(view a, view b) : work_(2 * std::max(a.size(), b.size())), quotient_(0)
{
    const std::size_t n = std::max(a.size(), b.size());
    const span all = work_.all();
    std::fill_n(all.begin(), 2 * n, limb{0});
    x_ = {all.first(n), all.subspan(n, n)};
    std::copy(a.begin(), a.end(), x_[0].begin());
    std::copy(b.begin(), b.end(), x_[1].begin());
    size_ = {a.size(), b.size()};
}

void operands::trim(int i) noexcept { size_[i] = trimmed(x_[i].first(size_[i])).size(); }

std::array<wide, 2> operands::top() const noexcept
{
    const std::size_t n = longer();
    const auto s = static_cast<unsigned>(std::countl_zero(x_[0][n - 1] | x_[1][n - 1]));
    std::array<wide, 2> t{};
    for (int i = 0; i < 2; ++i) {
        const span x = x_[i];
        const wide high = wide{x[n - 1]} << limb_bits | x[n - 2];
        const limb below = n > 2 ? x[n - 3] : 0;
        t[i] = s == 0 ? high : high << s | below >> (limb_bits - s);
    }
    return t;
}

// One pass computing both x0' = m11 x0 - m01 x1 and x1' = m00 x1 - m10 x0.
// Each side keeps the carry of its positive product and, with the borrow
// folded in, of its negative one. The off-diagonal entries are below
// 2^limb_bits - 1 (each row sums below 2^limb_bits with a diagonal entry of
// at least 1), so a negative product's high limb plus the borrow fits a limb.
void operands::apply(const matrix& m) noexcept
{
    const std::size_t n = longer();
    const span x0 = x_[0].first(n);
    const span x1 = x_[1].first(n);
    limb plus0 = 0;
    limb minus0 = 0;
    limb plus1 = 0;
    limb minus1 = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const wide p0 = wide{m.m11} * x0[i] + plus0;
        const wide n0 = wide{m.m01} * x1[i] + minus0;
        const wide p1 = wide{m.m00} * x1[i] + plus1;
        const wide n1 = wide{m.m10} * x0[i] + minus1;
        const limb lp0 = low_half(p0);
        const limb ln0 = low_half(n0);
        const limb lp1 = low_half(p1);
        const limb ln1 = low_half(n1);
        x0[i] = lp0 - ln0;
        x1[i] = lp1 - ln1;
        plus0 = high_half(p0);
        minus0 = high_half(n0) + (lp0 < ln0 ? 1 : 0);
        plus1 = high_half(p1);
        minus1 = high_half(n1) + (lp1 < ln1 ? 1 : 0);
    }
    trim(0);
    trim(1);
}

view operands::divide(int i)
{
    const view num = value(i);
    const view den = value(1 - i);
    const std::size_t q_size = num.size() - den.size() + 1;
    if (quotient_.all().empty()) {
        quotient_ = scratch(x_[0].size() + 1);
    }
    const span q = quotient_.first(q_size);
    const span r = quotient_.all().subspan(q_size, den.size());
    divrem(q, r, num, den);
    std::copy(r.begin(), r.end(), x_[i].begin());
    std::fill(x_[i].begin() + static_cast<std::ptrdiff_t>(r.size()),
              x_[i].begin() + static_cast<std::ptrdiff_t>(num.size()), limb{0});
    size_[i] = r.size();
    trim(i);
    return trimmed(q);
}

} // namespace bignum::limbs::lehmer
