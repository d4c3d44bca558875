// SPDX-License-Identifier: MIT
// Capacity refusals that name the bits a result needs, shared by the value
// type's arithmetic and its text. Not installed.

#ifndef BIGNUM_SRC_CAPACITY_H
#define BIGNUM_SRC_CAPACITY_H

#include <bignum/integer.h>

#include <cstdint>
#include <string_view>

namespace bignum::detail {

// The bits of a number whose log2 is at least `log2`, shaved so that
// rounding cannot lift the count past the true one.
[[nodiscard]] std::uint64_t bits_for_log2(double log2) noexcept;

// Runs make(); a capacity refusal from it is raised again naming `subject`
// and the bits least_bits() says the result needs (asked only then).
template <class Make, class Bits>
integer explained(std::string_view subject, Bits least_bits, Make make)
{
    try {
        return make();
    } catch (const big_error& e) {
        if (e.why() != big_error::reason::capacity_exceeded) {
            throw;
        }
        raise_capacity_error(subject, least_bits());
    }
}

} // namespace bignum::detail

#endif // BIGNUM_SRC_CAPACITY_H
