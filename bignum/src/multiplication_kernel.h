// SPDX-License-Identifier: MIT
// Product-scanning kernels for the schoolbook product and square of operands
// long enough that summing by column beats summing by row, and the choice of
// the instruction set they run with. Not installed.
//
// The kernel is chosen once, on first use: the best of portable, avx2 and
// avx512 that the processor reports (x86-64 GCC or Clang builds other than
// MinGW; everywhere else only portable exists). BIGNUM_KERNEL=portable|avx2|
// avx512, read at that moment, forces a level the processor has; a level it
// lacks, or any other value, is ignored. big_product_kernel names the level.

#ifndef BIGNUM_SRC_MULTIPLICATION_KERNEL_H
#define BIGNUM_SRC_MULTIPLICATION_KERNEL_H

#include "internal.h"

#include <cstddef>

namespace bignum::detail {

// Below this many limbs in either operand the row form is as fast or faster.
inline constexpr std::size_t column_form_min_limbs = 16;

// Whether the chosen level has column kernels (the portable level has none).
[[nodiscard]] bool column_kernels_chosen() noexcept;

// Whether a product whose shorter operand has `shorter` limbs, or a square of
// that many, runs faster by columns than by rows. Inline, so that short
// products never reach the level.
[[nodiscard]] inline bool columns_pay_off(std::size_t shorter) noexcept
{
    return shorter >= column_form_min_limbs && column_kernels_chosen();
}

// t[0 .. na + nb - 1) = the low limbs of a x b; returns the top limb, which
// the caller stores or checks. Both lengths at least column_form_min_limbs;
// t is neither a nor b.
[[nodiscard]] Limb mul_columns(const Limb* a, std::size_t na, const Limb* b, std::size_t nb, Limb* t) noexcept;

// t[0 .. 2n) = a^2; n passes columns_pay_off; t is not a.
void sqr_columns(const Limb* a, std::size_t n, Limb* t) noexcept;

} // namespace bignum::detail

#endif // BIGNUM_SRC_MULTIPLICATION_KERNEL_H
