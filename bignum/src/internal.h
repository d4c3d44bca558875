// SPDX-License-Identifier: MIT
// Shared by the library's sources; not installed.
//
// Limb-array primitives take spans of 32-bit limbs, least significant first,
// and return the carry or borrow out of the top. An output span may be the
// same array as an input span (the loops read each limb before writing it),
// but partial overlap is not allowed. Every temporary BigNum is a `Scratch`,
// so an exception passing through an operation still releases it.

#ifndef BIGNUM_SRC_INTERNAL_H
#define BIGNUM_SRC_INTERNAL_H

#include <bignum/bignum.h>

#include <cstddef>
#include <cstdint>
#include <span>

namespace bignum::detail {

using Limb = std::uint32_t;
using Wide = std::uint64_t;

inline constexpr unsigned limb_bits = 32;

[[nodiscard]] inline Limb low_word(Wide w) noexcept { return static_cast<Limb>(w); }
[[nodiscard]] inline Limb high_word(Wide w) noexcept { return static_cast<Limb>(w >> limb_bits); }

// Field access, by reference so that callers can assign.
[[nodiscard]] inline std::uint32_t& used(BigNum* x) noexcept { return big_words(x)[0]; }
[[nodiscard]] inline std::uint32_t used(const BigNum* x) noexcept { return big_words(x)[0]; }
[[nodiscard]] inline std::uint32_t& sign(BigNum* x) noexcept { return big_words(x)[1]; }
[[nodiscard]] inline std::uint32_t sign(const BigNum* x) noexcept { return big_words(x)[1]; }
[[nodiscard]] inline Limb* limbs(BigNum* x) noexcept { return big_limbs(x); }
[[nodiscard]] inline const Limb* limbs(const BigNum* x) noexcept { return big_limbs(x); }

// The used limbs as a span.
[[nodiscard]] inline std::span<Limb> magnitude(BigNum* x) noexcept { return {limbs(x), used(x)}; }
[[nodiscard]] inline std::span<const Limb> magnitude(const BigNum* x) noexcept { return {limbs(x), used(x)}; }

// Zero and one by used count and limb 0 alone; the sign word is not looked at.
[[nodiscard]] inline bool is_zero(const BigNum* x) noexcept { return used(x) == 1 && limbs(x)[0] == 0; }
[[nodiscard]] inline bool is_one(const BigNum* x) noexcept { return used(x) == 1 && limbs(x)[0] == 1; }
[[nodiscard]] inline bool is_odd(const BigNum* x) noexcept { return (limbs(x)[0] & 1U) != 0; }

[[nodiscard]] inline std::uint32_t bit_of(const BigNum* x, std::uint32_t k) noexcept
{
    return (limbs(x)[k / limb_bits] >> (k % limb_bits)) & 1U;
}
inline void set_bit(BigNum* x, std::uint32_t k) noexcept { limbs(x)[k / limb_bits] |= Limb{1} << (k % limb_bits); }

// Bytes of a limb from its most significant non-zero byte down; at least 1.
[[nodiscard]] inline unsigned significant_bytes(Limb v) noexcept
{
    unsigned n = 4;
    while (n > 1 && (v >> (8 * (n - 1))) == 0) {
        --n;
    }
    return n;
}

// Like big_normalize, but scans down from the used count: enough wherever
// nothing was written above it, and it keeps hot loops off the whole block.
void trim(BigNum* x) noexcept;

// Like big_copy, but moves only the used limbs and clears those of dst that
// fall above src's used count: the same block wherever limbs above the used
// count are zero, at the cost of the value rather than of the capacity.
void copy_value(BigNum* dst, const BigNum* src) noexcept;

// Raises big_error for `why` unless `condition` holds.
inline void require(bool condition, big_error::reason why)
{
    if (!condition) {
        big_raise_error(why);
    }
}

// Raises big_error unless a result fits in the limb capacity.
inline void require_room(bool fits) { require(fits, big_error::reason::capacity_exceeded); }

// Raises big_division_by_zero when the divisor is zero.
void require_nonzero_divisor(const BigNum* divisor);

// Every temporary of an operation: released on every way out of it.
using Scratch = big_scoped;

// |x| = |x| x factor + addend in one pass, in place, growing by a limb when
// the carry needs it; raises only past the capacity, after writing, so
// callers that must not change x check first or work on a temporary.
inline void mul_add_word(BigNum* x, Limb factor, Limb addend)
{
    Limb carry = addend;
    for (Limb& limb : magnitude(x)) {
        const Wide p = Wide{limb} * factor + carry;
        limb = low_word(p);
        carry = high_word(p);
    }
    big_push_limb(x, carry);
}

// ---- limb-array primitives ----
// Inline, so that the hot loops of division and multiplication keep their
// counters and carries in registers instead of calling per row or per bit.

// r = a + b + carry_in over r.size() limbs; a and b have r.size() limbs.
inline Limb add_limbs(std::span<Limb> r, std::span<const Limb> a, std::span<const Limb> b, Limb carry_in = 0) noexcept
{
    Limb carry = carry_in;
    for (std::size_t i = 0; i < r.size(); ++i) {
        const Wide sum = Wide{a[i]} + b[i] + carry;
        r[i] = low_word(sum);
        carry = high_word(sum);
    }
    return carry;
}

// r = a - b over r.size() limbs; returns the borrow out.
inline Limb sub_limbs(std::span<Limb> r, std::span<const Limb> a, std::span<const Limb> b) noexcept
{
    Limb borrow = 0;
    for (std::size_t i = 0; i < r.size(); ++i) {
        const Wide diff = Wide{a[i]} - b[i] - borrow;
        r[i] = low_word(diff);
        borrow = high_word(diff) & 1U;
    }
    return borrow;
}

// r -= b over r.size() >= b.size() limbs, b zero-extended: no limb past b's
// end is read, so a subtrahend's limbs above its used count (zero in normal
// form, anything in a valid block) cannot reach the difference. Returns the
// borrow out of the top.
inline Limb sub_shorter_limbs(std::span<Limb> r, std::span<const Limb> b) noexcept
{
    const std::size_t n = b.size();
    Limb borrow = sub_limbs(r.first(n), r.first(n), b);
    for (std::size_t i = n; i < r.size() && borrow != 0; ++i) {
        borrow = r[i] == 0 ? 1 : 0;
        --r[i];
    }
    return borrow;
}

// acc[0 .. a.size()) += a x w; returns the limb carried out of the top.
inline Limb mul_add_limbs(std::span<Limb> acc, std::span<const Limb> a, Limb w) noexcept
{
    Limb carry = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        // a x w + acc + carry < 2^64: (2^32 - 1)^2 + 2 (2^32 - 1) = 2^64 - 1.
        const Wide p = Wide{a[i]} * w + acc[i] + carry;
        acc[i] = low_word(p);
        carry = high_word(p);
    }
    return carry;
}

// -1, 0, +1 comparing equal-length magnitudes from the top.
inline int cmp_limbs(std::span<const Limb> a, std::span<const Limb> b) noexcept
{
    for (std::size_t i = a.size(); i-- > 0;) {
        if (a[i] != b[i]) {
            return a[i] > b[i] ? 1 : -1;
        }
    }
    return 0;
}

// x = 2 x + bit_in over x.size() >= 1 limbs; returns the bit that left the
// top. Each limb comes from itself and its lower neighbour, top down, so no
// carry runs from limb to limb and the loop vectorises.
inline Limb shl1_limbs(std::span<Limb> x, Limb bit_in) noexcept
{
    const std::size_t top = x.size() - 1;
    const Limb out = x[top] >> (limb_bits - 1);
    for (std::size_t i = top; i > 0; --i) {
        x[i] = (x[i] << 1) | (x[i - 1] >> (limb_bits - 1));
    }
    x[0] = (x[0] << 1) | bit_in;
    return out;
}

// The used count of the n limbs at x once zero top limbs are dropped; at
// least 1.
[[nodiscard]] inline std::uint32_t significant_limbs(const Limb* x, std::uint32_t n) noexcept
{
    while (n > 1 && x[n - 1] == 0) {
        --n;
    }
    return n;
}

} // namespace bignum::detail

#endif // BIGNUM_SRC_INTERNAL_H
