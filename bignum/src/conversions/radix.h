// SPDX-License-Identifier: MIT
// Text in any base from 2 to 36, behind the value type: word-sized chunks of
// digits for most bases, the bits themselves for the powers of two. Not
// installed.

#ifndef BIGNUM_SRC_CONVERSIONS_RADIX_H
#define BIGNUM_SRC_CONVERSIONS_RADIX_H

#include "../internal.h"

#include <span>
#include <string>
#include <string_view>

namespace bignum::detail {

// The magnitude's digits in base, most significant first, without leading
// zeros ("0" for zero); letters upper case unless `lower`. Zero top limbs
// are allowed.
[[nodiscard]] std::string radix_digits(std::span<const Limb> magnitude, unsigned base, bool lower);

// x = the value of digits in base, non-negative; x holds +0 on entry (a
// fresh number). The caller has checked that there is at least one digit
// and that each is a digit of base. A value past the capacity raises
// `big_error` [capacity_exceeded] and leaves x with an unspecified value.
void radix_load(std::string_view digits, unsigned base, BigNum* x);

} // namespace bignum::detail

#endif // BIGNUM_SRC_CONVERSIONS_RADIX_H
