// SPDX-License-Identifier: MIT
// Routines on magnitudes as limb spans, beneath the value type (the handle
// API keeps its own). Not installed.
//
// Conventions, once for every routine here:
// - A magnitude is a span of limbs, least significant first. `view` is an
//   input, `span` an output whose size the caller chose as each routine says.
// - "Normalised" means no zero top limb; an empty span is zero. Inputs need
//   not be normalised unless a routine says so; outputs are exactly the
//   stated size, zero limbs at the top included.
// - An output may be the very same array as an input (same start) where a
//   routine says "in place"; otherwise outputs and inputs do not overlap.
// - Routines that need room beyond their outputs allocate it, and raise
//   std::bad_alloc without having written any output; the rest are noexcept.
// - Limbs are 64 bits where the compiler has a 128-bit product, else 32.

#ifndef BIGNUM_SRC_LIMBS_LIMBS_H
#define BIGNUM_SRC_LIMBS_LIMBS_H

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace bignum::limbs {

#if defined(__SIZEOF_INT128__)
using limb = std::uint64_t;
__extension__ using wide = unsigned __int128;
#else
using limb = std::uint32_t;
using wide = std::uint64_t;
#endif
inline constexpr unsigned limb_bits = std::numeric_limits<limb>::digits;

using span = std::span<limb>;
using view = std::span<const limb>;

[[nodiscard]] inline limb low_half(wide w) noexcept { return static_cast<limb>(w); }
[[nodiscard]] inline limb high_half(wide w) noexcept { return static_cast<limb>(w >> limb_bits); }

// Limbs that the routines use for their own work, uninitialised.
class scratch {
public:
    explicit scratch(std::size_t n) : limbs_(std::make_unique_for_overwrite<limb[]>(n)), size_(n) {}
    [[nodiscard]] span all() noexcept { return {limbs_.get(), size_}; }
    [[nodiscard]] span first(std::size_t n) noexcept { return all().first(n); }

private:
    std::unique_ptr<limb[]> limbs_;
    std::size_t size_;
};

// ---------------------------------------------------------------------------
// Sizes and comparison
// ---------------------------------------------------------------------------

// a without its zero top limbs.
[[nodiscard]] view trimmed(view a) noexcept;
// -1, 0 or +1 for normalised a and b of any sizes.
[[nodiscard]] int compare(view a, view b) noexcept;
// Equal sizes; not normalised.
[[nodiscard]] int compare_same_size(view a, view b) noexcept;

// ---------------------------------------------------------------------------
// Additive (in place allowed: r may be a, or b)
// ---------------------------------------------------------------------------

// r = a + b, r.size() == a.size() >= b.size(); returns the carry.
limb add(span r, view a, view b) noexcept;
// r = a + b for one limb b, r.size() == a.size(); returns the carry.
limb add_1(span r, view a, limb b) noexcept;
// r = a - b, r.size() == a.size() >= b.size(); returns the borrow.
limb sub(span r, view a, view b) noexcept;
limb sub_1(span r, view a, limb b) noexcept;

// ---------------------------------------------------------------------------
// Shifts by 0 < s < limb_bits (in place allowed)
// ---------------------------------------------------------------------------

// r = a << s, r.size() == a.size(); returns the bits shifted out at the top.
limb shift_left(span r, view a, unsigned s) noexcept;
// r = a >> s, r.size() == a.size(); returns the bits shifted out at the
// bottom, in the top of the limb.
limb shift_right(span r, view a, unsigned s) noexcept;

// ---------------------------------------------------------------------------
// Products
// ---------------------------------------------------------------------------

// r = a * b, r.size() == a.size(); returns the top limb. In place allowed.
limb mul_1(span r, view a, limb b) noexcept;
// r += a * b over r.size() == a.size() limbs; returns the carry limb.
limb addmul_1(span r, view a, limb b) noexcept;
// r -= a * b over r.size() == a.size() limbs; returns the borrow limb.
limb submul_1(span r, view a, limb b) noexcept;
// r = a * b, r.size() == a.size() + b.size(), both non-empty; the method is
// chosen by size. No overlap.
void mul(span r, view a, view b);
// r = a^2, r.size() == 2 a.size(). No overlap.
void sqr(span r, view a);
// The schoolbook forms of the two, which never allocate.
void mul_basecase(span r, view a, view b) noexcept;
void sqr_basecase(span r, view a) noexcept;

// ---------------------------------------------------------------------------
// Division
// ---------------------------------------------------------------------------

// q = a / d and returns a % d, d != 0, q.size() == a.size(). In place allowed.
limb divrem_1(span q, view a, limb d) noexcept;
// a % d, d != 0.
[[nodiscard]] limb mod_1(view a, limb d) noexcept;
// q = a / d and r = a % d for normalised d (top limb non-zero) with
// a.size() >= d.size(); q.size() == a.size() - d.size() + 1 and
// r.size() == d.size(). No overlap.
void divrem(span q, span r, view a, view d);
// r = a % d, as divrem without the quotient.
void mod(span r, view a, view d);

// ---------------------------------------------------------------------------
// Number theory
// ---------------------------------------------------------------------------

// r = gcd(a, b) for normalised a and b, not both zero; r.size() >=
// min(a.size(), b.size()) where both are non-zero, else the other's size.
// Returns the size of the normalised result.
std::size_t gcd(span r, view a, view b);
// r = a^-1 mod m for normalised a < m, m > 1, r.size() == m.size(); false,
// with r unspecified, when gcd(a, m) != 1.
bool inverse(span r, view a, view m);
// The extended gcd of normalised a and b (either or both zero): g = gcd(a, b)
// into g, sized as for gcd(), and into s the magnitude of the cofactor s of
// a in g = s a + t b, s.size() >= max(b.size(), 1). s is the one with
// -c/2 < s <= c/2 for c = b / g, so |s| < b / (2g) except s = 1 where
// b = 2g; s = 1 for b = 0 < a, s = 0 for a = 0. The caller
// finds t = (g - s a) / b, an exact division (t = 0 for b = 0). For signed
// operands, s times the sign of a is their cofactor of a, and the same
// division on the signed values gives t: both then as mpz_gcdext has them.
struct gcd_ext_result {
    std::size_t g_size; // normalised
    std::size_t s_size; // normalised
    bool s_negative;    // never for s = 0
};
gcd_ext_result gcd_ext(span g, span s, view a, view b);
// The Jacobi symbol (a/n), -1, 0 or +1, for normalised a of any size and
// odd normalised n; (a/1) = 1.
[[nodiscard]] int jacobi(view a, view n);
// r = b^e mod m for normalised m > 1 (odd or even) and b < m, e of any size
// (b^0 = 1 mod m); r.size() == m.size().
void pow_mod(span r, view b, view e, view m);
// Whether a normalised x is a probable prime: the Baillie-PSW test whatever
// `rounds` says (exact below 2^64), then rounds - 24 strong tests to fixed
// pseudo-random bases where rounds exceeds 24.
[[nodiscard]] bool is_probable_prime(view x, int rounds);

// ---------------------------------------------------------------------------
// Text
// ---------------------------------------------------------------------------

// The digits of normalised a in base 2 .. 36, no sign or leading zeros ("0"
// for zero), letters lower case when `lower`, else upper.
[[nodiscard]] std::string to_digits(view a, unsigned base, bool lower);
// The value of digits, each a valid digit of base 2 .. 36 (the caller has
// checked), into r; r.size() >= digits_room(digits.size(), base). Returns
// the normalised size.
std::size_t from_digits(span r, std::string_view digits, unsigned base);
// Limbs enough for the value of n digits of base.
[[nodiscard]] std::size_t digits_room(std::size_t n, unsigned base) noexcept;

} // namespace bignum::limbs

#endif // BIGNUM_SRC_LIMBS_LIMBS_H
