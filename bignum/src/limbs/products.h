// SPDX-License-Identifier: MIT
// The product methods beneath limbs::mul and limbs::sqr and the sizes at
// which each takes over. Not installed.
//
// The thresholds are operand sizes in limbs, measured on an x86-64 server
// core (64-bit limbs, g++ 12 -O2, taskset -c 1, thread CPU time, best of 15
// runs) by timing products with a method switched on at the top level
// against the method below it over sizes around the crossing, and taking the
// size from which the method stays faster. Squares gain less from Karatsuba
// because their schoolbook already does half the work. 32-bit limbs keep the
// same counts: each limb is cheaper there, but the ratios move little.

#ifndef BIGNUM_SRC_LIMBS_PRODUCTS_H
#define BIGNUM_SRC_LIMBS_PRODUCTS_H

#include "limbs.h"

#include <cstddef>

namespace bignum::limbs::products {

// Karatsuba from this many limbs in the shorter operand, schoolbook below:
// by rows, or by the vector columns where the processor has them (see
// schoolbook below), which keep up with Karatsuba's products longer.
inline constexpr std::size_t karatsuba_mul_threshold = 32;
inline constexpr std::size_t karatsuba_mul_columns_threshold = 64;
inline constexpr std::size_t karatsuba_sqr_threshold = 72;
// Toom-3 from this many limbs; Karatsuba's three halves below.
inline constexpr std::size_t toom3_mul_threshold = 288;
inline constexpr std::size_t toom3_sqr_threshold = 288;
// The transform from this many limbs in the shorter operand (where the
// compiler has a 128-bit product; Toom-3 serves every size elsewhere). Its
// cost steps up with each power-of-two length, so Toom-3 stays a little
// faster just past a step (up to 8% at 2049 .. 2600 limbs), the transform
// much faster below the next (1.5x at 4096 limbs).
inline constexpr std::size_t transform_mul_threshold = 1800;
inline constexpr std::size_t transform_sqr_threshold = 1800;

// Whether a product's operands are the very same span: then it is a square,
// which every method computes with about half the work.
[[nodiscard]] inline bool same_span(view a, view b) noexcept { return a.data() == b.data() && a.size() == b.size(); }

// r = a * b, a.size() >= b.size() >= 1, r.size() == a.size() + b.size().
void multiply(span r, view a, view b);
// The same by schoolbook, a square when a and b are the same span: by
// columns where the processor's vector kernels pay, else by rows.
void schoolbook(span r, view a, view b) noexcept;
// Whether schoolbook products of the sizes above can run by columns here.
[[nodiscard]] bool columns_available() noexcept;
// r = a^2, r.size() == 2 a.size().
void square(span r, view a);

// Whether this build has the transform.
[[nodiscard]] bool transform_available() noexcept;
// r = a * b by the transform, or a^2 when a and b are the same span; sizes as
// for multiply. Only where transform_available().
void transform_multiply(span r, view a, view b);

} // namespace bignum::limbs::products

#endif // BIGNUM_SRC_LIMBS_PRODUCTS_H
