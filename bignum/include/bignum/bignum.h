// SPDX-License-Identifier: MIT
// bignum: signed multi-precision integers in fixed-size blocks.
//
// Conventions, stated once for the whole header:
//
// * A number lives in one heap block of `big_block_size()` bytes, read as
//   32-bit words: word 0 the used count (1 .. `big_limb_capacity()`), word 1
//   the sign word (0 non-negative, 1 negative), then `big_limb_capacity()`
//   limbs, least significant first. A `BigNum*` is a handle to word 0.
// * Normal form: the top used limb is non-zero unless the value is zero,
//   zero is used count 1, limb 0 = 0, sign word 0, and limbs at and above the
//   used count are zero; results of operands in normal form are in it. Only
//   the byte-string loaders (and `big_from_hex` given non-digits) may leave a
//   value outside normal form. A valid block may hold anything above its
//   used count (see the preconditions below): the operand added or
//   subtracted and a divisor are read no further than their used counts, so
//   such limbs there do not change the result.
// * Results come last in the argument list (`big_mul(a, b, r)`); in-place
//   operations take the number they change first (`big_add(a, b)`). Every
//   result is built in temporaries and copied out at the end, so a result may
//   be the same BigNum as an operand unless the operation says otherwise.
// * Optional outputs are `nullptr` when not wanted.
// * Zero and one are recognised by used count 1 and limb 0; the sign word is
//   not looked at. Division truncates towards zero; a non-zero remainder has
//   the sign of the dividend. Exponents are read by their magnitude.
// * Failures are never returned as codes. Two exceptions signal them and the
//   library never catches either: `big_error` (storage exhausted or refused,
//   a result past the limb capacity, a detected misuse) and
//   `big_division_by_zero` (a zero divisor).
// * Strong guarantee: when an operation raises, every argument holds exactly
//   what it held before, byte for byte over its whole block, however its
//   outputs alias its inputs. It writes nothing past any block and releases
//   every temporary it allocated.
//
// Preconditions the library checks; each raises `big_error`, whose `why()`
// is the reason in brackets and whose `what()` is that reason's message
// (listed beside `big_error::reason` below):
//   - `big_set_precision` with bits of 0 or above 16383
//     [precision_out_of_range], or while any BigNum is alive
//     [precision_while_alive];
//   - a result or carry that needs more limbs than the capacity
//     [capacity_exceeded];
//   - text or byte strings longer than a block holds (`big_from_hex`
//     [text_too_long], `big_from_raw` and `big_from_text` [bytes_too_long]);
//   - a sign argument other than 0 or 1 for the byte-string loaders
//     [invalid_sign];
//   - outputs that must be distinct but are the same BigNum (`big_divmod`'s
//     q and r [quotient_is_remainder], `big_xgcd`'s x and y [x_is_y],
//     `big_invmod`'s r and m [result_is_modulus]).
// The heap raises it too: no block to allocate [storage_exhausted], or a
// release it refuses [release_refused]. `big_raise_error()` and `big_error{}`
// carry [general], for callers' own failures.
// Preconditions that are the caller's, because the library cannot see them:
//   - every handle came from `big_new` or `big_new_word` of this same copy
//     of the library (a process that links two copies has two sets of
//     settings, and a block carries no mark of its copy) and is not yet
//     freed, and is not null unless the operation names it optional;
//   - operands of the arithmetic are in normal form, as every result is; a
//     value loaded outside it (see above) goes through `big_normalize` first.
//     Otherwise results may be wrong, but memory stays safe and every
//     operation still finishes, in time bounded by the capacity, for any
//     valid block (used count 1 .. capacity, sign word 0 or 1, any limbs); a
//     divisor or modulus whose used limbs are all zero counts as zero;
//   - output buffers of the formatters and byte stores are large enough (the
//     size each needs is stated beside it).
//
// Threads: the precision settings are process-wide, and the library keeps
// them consistent with every allocation: a `big_set_precision` that overlaps
// a `big_new` in another thread either takes effect before it, so the new
// block has the new size, or raises [precision_while_alive]. A BigNum is not
// shared between threads without the caller's own locking; everything else,
// operations on different BigNums included, may run concurrently.

#ifndef BIGNUM_BIGNUM_H
#define BIGNUM_BIGNUM_H

#include <bignum/export.h>
#include <bignum/version.h>

#include <cstdint>
#include <stdexcept>
#include <string>

// Opaque: a handle points at word 0 of a block laid out as described above.
struct BigNum;

// ---------------------------------------------------------------------------
// Errors
// ---------------------------------------------------------------------------

// The library error: storage or capacity failure, or a detected misuse.
// `code()` is the same for every cause; `why()` and `what()` tell them apart.
class BIGNUM_EXPORT big_error : public std::runtime_error {
public:
    static constexpr std::uint32_t error_code = 0x0BADC0DE;
    enum class reason : std::uint8_t {
        storage_exhausted,      // "bignum: storage exhausted"
        release_refused,        // "bignum: the heap refused to release a block"
        capacity_exceeded,      // "bignum: result exceeds the limb capacity"
        text_too_long,          // "bignum: text longer than a block holds"
        bytes_too_long,         // "bignum: byte string longer than a block holds"
        invalid_sign,           // "bignum: sign must be 0 or 1"
        precision_out_of_range, // "bignum: precision out of range"
        precision_while_alive,  // "bignum: precision changed while numbers are alive"
        quotient_is_remainder,  // "bignum: quotient and remainder must be different numbers"
        x_is_y,                 // "bignum: x and y must be different numbers"
        result_is_modulus,      // "bignum: result and modulus must be different numbers"
        general,                // "bignum: library error"
    };
    big_error() : big_error(reason::general) {}
    explicit big_error(reason why);
    // The same reason with a message that names the sizes involved; the value
    // type raises these for capacity and precision refusals.
    big_error(reason why, const std::string& what) : std::runtime_error(what), why_(why) {}
    [[nodiscard]] reason why() const noexcept { return why_; }
    // NOLINTNEXTLINE(readability-convert-member-functions-to-static): asked of the caught object
    [[nodiscard]] std::uint32_t code() const noexcept { return error_code; }

private:
    reason why_;
};

// A zero divisor. Raised before anything is allocated or written.
class BIGNUM_EXPORT big_division_by_zero : public std::domain_error {
public:
    big_division_by_zero();
    // With a message that names the numbers; the value type raises these.
    explicit big_division_by_zero(const std::string& what) : std::domain_error(what) {}
};

// Throws `big_error` for `why`, or [general] without one. It allocates
// nothing, so it works when the heap is exhausted: it throws a copy of an
// error built while memory was plentiful, and copying a standard exception
// never allocates.
[[noreturn]] BIGNUM_EXPORT void big_raise_error();
[[noreturn]] BIGNUM_EXPORT void big_raise_error(big_error::reason why);

// ---------------------------------------------------------------------------
// Block layout
// ---------------------------------------------------------------------------

[[nodiscard]] inline std::uint32_t* big_words(BigNum* x) noexcept { return reinterpret_cast<std::uint32_t*>(x); }
[[nodiscard]] inline const std::uint32_t* big_words(const BigNum* x) noexcept
{
    return reinterpret_cast<const std::uint32_t*>(x);
}
[[nodiscard]] inline std::uint32_t big_used_count(const BigNum* x) noexcept { return big_words(x)[0]; }
[[nodiscard]] inline std::uint32_t big_sign_word(const BigNum* x) noexcept { return big_words(x)[1]; }
[[nodiscard]] inline std::uint32_t* big_limbs(BigNum* x) noexcept { return big_words(x) + 2; }
[[nodiscard]] inline const std::uint32_t* big_limbs(const BigNum* x) noexcept { return big_words(x) + 2; }

// ---------------------------------------------------------------------------
// Precision and storage
// ---------------------------------------------------------------------------

// `bits` is 1 .. 16383, rounded up to a multiple of 32 (r); any other value
// raises `big_error` [precision_out_of_range] and keeps the settings, as does
// a call while any BigNum is alive [precision_while_alive]. The limb
// capacity becomes r / 8 (four times the nominal limbs, so products of
// full-precision values fit) and the block size 8 + 4 x capacity. The initial
// settings are those of 1024 bits: capacity 128, block size 520.
BIGNUM_EXPORT void big_set_precision(std::uint32_t bits);
[[nodiscard]] BIGNUM_EXPORT std::uint32_t big_limb_capacity() noexcept;
[[nodiscard]] BIGNUM_EXPORT std::uint32_t big_block_size() noexcept;
// BigNums allocated and not yet freed, process-wide.
[[nodiscard]] BIGNUM_EXPORT std::uint32_t big_live_blocks() noexcept;

[[nodiscard]] BIGNUM_EXPORT BigNum* big_new();
[[nodiscard]] BIGNUM_EXPORT BigNum* big_new_word(std::uint32_t w);
// Releasing a null handle does nothing.
BIGNUM_EXPORT void big_free(BigNum* x);

// Owns one BigNum for a scope: allocated on construction, freed on every way
// out, exceptions included. A release that fails means the heap is corrupt,
// and ends the process: a destructor has no safer answer.
class big_scoped {
public:
    big_scoped() : x_(big_new()) {}
    explicit big_scoped(std::uint32_t w) : x_(big_new_word(w)) {}
    // NOLINTNEXTLINE(bugprone-exception-escape): terminating is intended, as said above
    ~big_scoped() { big_free(x_); }
    big_scoped(const big_scoped&) = delete;
    big_scoped& operator=(const big_scoped&) = delete;
    big_scoped(big_scoped&&) = delete;
    big_scoped& operator=(big_scoped&&) = delete;

    // NOLINTNEXTLINE(google-explicit-constructor): passed where a handle goes
    operator BigNum*() const noexcept { return x_; }
    [[nodiscard]] BigNum* get() const noexcept { return x_; }

private:
    BigNum* x_;
};

BIGNUM_EXPORT void big_zero(BigNum* x);
BIGNUM_EXPORT void big_set_word(BigNum* x, std::uint32_t w);
BIGNUM_EXPORT void big_set_int(BigNum* x, std::int32_t i);
// Whole-block copy; dst may be src.
BIGNUM_EXPORT void big_copy(BigNum* dst, const BigNum* src);
// Exchanges whole blocks; a may be b.
BIGNUM_EXPORT void big_swap(BigNum* a, BigNum* b);
// Bits in the magnitude; 0 for zero. The sign is ignored.
[[nodiscard]] BIGNUM_EXPORT std::uint32_t big_bit_length(const BigNum* x);

// ---------------------------------------------------------------------------
// Comparison, addition and subtraction
// ---------------------------------------------------------------------------

// +1, 0 or -1 as a is greater, equal or less. Sign words are compared first,
// so a negative zero ranks below +0.
[[nodiscard]] BIGNUM_EXPORT int big_cmp(const BigNum* a, const BigNum* b);
// The same on magnitudes; sign words ignored.
[[nodiscard]] BIGNUM_EXPORT int big_cmp_mag(const BigNum* a, const BigNum* b);

BIGNUM_EXPORT void big_add(BigNum* a, const BigNum* b);      // a = a + b; a may be b
BIGNUM_EXPORT void big_sub(BigNum* a, const BigNum* b);      // a = a - b; a may be b
BIGNUM_EXPORT void big_inc(BigNum* a);                       // a = a + 1
BIGNUM_EXPORT void big_dec(BigNum* a);                       // a = a - 1
BIGNUM_EXPORT void big_add_word(BigNum* a, std::uint32_t w); // |a| = |a| + w, sign kept

// ---------------------------------------------------------------------------
// Shifts and bit masks: on the magnitude, sign kept; a zero result of a right
// shift or truncation is +0.
// ---------------------------------------------------------------------------

BIGNUM_EXPORT std::uint32_t big_shl1(BigNum* x); // returns the carry out
BIGNUM_EXPORT std::uint32_t big_shr1(BigNum* x); // returns the bit shifted out
BIGNUM_EXPORT void big_shl(BigNum* x, std::uint32_t count);
BIGNUM_EXPORT void big_shr(BigNum* x, std::uint32_t count);
BIGNUM_EXPORT void big_shl_to(const BigNum* src, std::uint32_t count, BigNum* dst); // dst may be src
BIGNUM_EXPORT void big_shr_to(const BigNum* src, std::uint32_t count, BigNum* dst); // dst may be src
// dst = sign(src) x (|src| mod 2^k); dst may be src.
BIGNUM_EXPORT void big_low_bits(const BigNum* src, std::uint32_t k, BigNum* dst);

// ---------------------------------------------------------------------------
// Multiplication and squaring (schoolbook). A product that does not fit in
// the limb capacity raises `big_error`.
// ---------------------------------------------------------------------------

BIGNUM_EXPORT void big_mul(const BigNum* a, const BigNum* b, BigNum* r); // r may be a or b
BIGNUM_EXPORT void big_sqr(BigNum* a);                                   // a = a x a
BIGNUM_EXPORT void big_mul_word(BigNum* a, std::uint32_t w);             // a = a x w

// ---------------------------------------------------------------------------
// Division (restoring, bit-serial). A zero divisor raises
// `big_division_by_zero` before anything is written.
// ---------------------------------------------------------------------------

// q = a / b truncated; r = a - q x b when r is not null. q and r must differ;
// either may be a or b.
BIGNUM_EXPORT void big_divmod(const BigNum* a, const BigNum* b, BigNum* q, BigNum* r);
BIGNUM_EXPORT void big_mod(const BigNum* a, const BigNum* b, BigNum* r);
// Returns |a| mod w; q = |a| / w (non-negative) when q is not null; q may be a.
BIGNUM_EXPORT std::uint32_t big_div_word(const BigNum* a, std::uint32_t w, BigNum* q);

// ---------------------------------------------------------------------------
// Hexadecimal text
// ---------------------------------------------------------------------------

// Accepts an optional leading "-", leading zeros, then digits of either case.
// Other characters are not rejected: each adds (ch - 48, ch - 55 or ch - 87)
// at its position. More than 8 x capacity significant digits raise
// `big_error` and leave x unchanged.
BIGNUM_EXPORT void big_from_hex(const char* text, BigNum* x);
// Writes "-" when negative, the top limb in whole bytes, every lower limb as
// eight digits, upper case, then a NUL; returns the length without the NUL.
// buf needs 8 x used count + 2 bytes.
BIGNUM_EXPORT std::uint32_t big_to_hex(const BigNum* x, char* buf);

// ---------------------------------------------------------------------------
// Decimal text
// ---------------------------------------------------------------------------

// An optional leading "-", then digits; every other byte b adds b - 48
// (mod 2^32) at its position. A value past the capacity raises `big_error`.
BIGNUM_EXPORT void big_from_dec(const char* text, BigNum* x);
// "0" for zero, else an optional "-" and the digits, then a NUL.
// buf needs 10 x used count + 2 bytes.
BIGNUM_EXPORT void big_to_dec(const BigNum* x, char* buf);
BIGNUM_EXPORT void big_mul10(BigNum* a); // a = 10 x a

// ---------------------------------------------------------------------------
// Byte strings. Raw form: least significant byte first (the limb area's own
// image). Text form: most significant byte first. The loaders set the used
// count from the length alone, (n + 3) / 4, and do not normalise; more than
// 4 x capacity bytes raise `big_error` and leave x unchanged.
// ---------------------------------------------------------------------------

// sign: only its low 8 bits are read, and they must be 0 or 1.
BIGNUM_EXPORT void big_from_raw(const void* bytes, std::uint32_t n, BigNum* x, std::uint32_t sign);
// Writes exactly 4 x used count bytes; returns the sign word.
BIGNUM_EXPORT std::uint32_t big_to_raw(const BigNum* x, void* buf);
// sign: 0 or 1.
BIGNUM_EXPORT void big_from_text(const void* bytes, std::uint32_t n, BigNum* x, std::uint32_t sign);
// Writes the magnitude without leading zero bytes (one byte for zero), at
// most 4 x used count bytes, no terminator; returns the sign word.
BIGNUM_EXPORT std::uint32_t big_to_text(const BigNum* x, void* buf);

// ---------------------------------------------------------------------------
// Euclidean algorithms (repeated bit-serial division)
// ---------------------------------------------------------------------------

// r = the last non-zero value of the remainder chain a, b, a mod b, ...:
// gcd(|a|, |b|) up to sign; non-negative for non-negative operands. With b
// zero it is a copy of a, so gcd(-0, 0) is a negative zero.
BIGNUM_EXPORT void big_gcd(const BigNum* a, const BigNum* b, BigNum* r);
// r = a x b / gcd(a, b), truncated; lcm(0, 0) raises `big_division_by_zero`.
BIGNUM_EXPORT void big_lcm(const BigNum* a, const BigNum* b, BigNum* r);
// r = a^-1 mod m in 1 .. m - 1, for a >= 1, m >= 2 and gcd(a, m) = 1 (m = 1
// gives 1). No inverse raises `big_division_by_zero`. r may be a, never m.
BIGNUM_EXPORT void big_invmod(const BigNum* a, const BigNum* m, BigNum* r);
// Bezout coefficients: a x y + b x x = gcd(a, b) for non-negative operands.
// x and y must differ.
BIGNUM_EXPORT void big_xgcd(const BigNum* a, const BigNum* b, BigNum* x, BigNum* y);

// ---------------------------------------------------------------------------
// Modular multiplication and exponentiation. r may be any operand.
// ---------------------------------------------------------------------------

// r = (a x b) mod m, the truncating remainder (sign of a x b). Operands
// past |m| are reduced first when their product might not fit.
BIGNUM_EXPORT void big_mulmod(const BigNum* a, const BigNum* b, const BigNum* m, BigNum* r);
// r = base^|exp| mod |mod|, in 0 .. |mod| - 1, for a base of either sign; a
// base of |mod| or more is reduced first, so that it needs no more room than
// its remainder. Odd moduli go to `big_powmod_mont`, even ones to
// square-and-multiply with a division after each step. A zero modulus raises
// `big_division_by_zero` and leaves r unchanged.
BIGNUM_EXPORT void big_powmod(const BigNum* base, const BigNum* exp, const BigNum* mod, BigNum* r);
// The same by Montgomery multiplication with R = 2^(bit length of mod), for
// an odd modulus; an even one raises `big_division_by_zero`. Its products
// need up to 3 x the modulus's used count within the limb capacity: a power
// whose products do not fit raises `big_error`, after a setup quadratic in
// the modulus's limbs. A negative base is shifted into Montgomery form as
// whichever is shorter, itself or its sum with |mod|.
BIGNUM_EXPORT void big_powmod_mont(const BigNum* base, const BigNum* exp, const BigNum* mod, BigNum* r);

// ---------------------------------------------------------------------------
// Primality screens: 1 passes, 0 fails. Neither writes n.
// ---------------------------------------------------------------------------

// 0 when one of the odd primes 3 .. 251 divides |n| (so also for those primes
// themselves and for 0), else 1.
[[nodiscard]] BIGNUM_EXPORT std::uint32_t big_small_prime_screen(const BigNum* n);
// 1 when b^(|n| - 1) mod |n| = 1 for each of b = 2, 3, 5, 7. An even n raises
// `big_division_by_zero`.
[[nodiscard]] BIGNUM_EXPORT std::uint32_t big_fermat_test(const BigNum* n);

// ---------------------------------------------------------------------------
// Normal form
// ---------------------------------------------------------------------------

// Used count from the top non-zero limb of the whole capacity; a zero becomes
// +0. Mends a value the byte-string loaders left unnormalised.
BIGNUM_EXPORT void big_normalize(BigNum* x);

// ---------------------------------------------------------------------------
// Product kernel
// ---------------------------------------------------------------------------

// The instruction-set level of long products and squares: "portable", "avx2"
// or "avx512". Chosen at first use, for the whole process: the level that the
// environment variable BIGNUM_KERNEL names if the processor has it, else the
// best it has. Results are the same at every level.
[[nodiscard]] BIGNUM_EXPORT const char* big_product_kernel() noexcept;

// ---------------------------------------------------------------------------
// Internal kernels: the magnitude work the operations above share, for the
// library's own use. They read and write no sign word (except that a zero
// left by a subtraction gets sign 0) and check nothing but the capacity: a
// broken precondition gives a wrong value, never a write past a block.
// ---------------------------------------------------------------------------

// Appends w above the used limbs unless w is 0; at the capacity it raises
// `big_error` and leaves x unchanged.
BIGNUM_EXPORT void big_push_limb(BigNum* x, std::uint32_t w);

BIGNUM_EXPORT void big_add_mag(BigNum* a, const BigNum* b); // |a| += |b|; a may be b
BIGNUM_EXPORT void big_sub_mag(BigNum* a, const BigNum* b); // |a| -= |b|; needs |a| >= |b|
BIGNUM_EXPORT void big_inc_mag(BigNum* a);                  // |a| += 1
BIGNUM_EXPORT void big_dec_mag(BigNum* a);                  // |a| -= 1; needs |a| >= 1

// The limbs of t become |a| x |b|, |a|^2 or |a| x w. t must be all zero and
// distinct from the operands; its used count and sign word are the caller's
// to set afterwards (the product has at most the operands' used counts added
// up, and big_normalize finds its own). A product past the capacity raises
// `big_error`, and t then holds no particular value.
BIGNUM_EXPORT void big_mul_mag(const BigNum* a, const BigNum* b, BigNum* t);
BIGNUM_EXPORT void big_sqr_mag(const BigNum* a, BigNum* t);
BIGNUM_EXPORT void big_mul_word_mag(const BigNum* a, std::uint32_t w, BigNum* t);

#endif // BIGNUM_BIGNUM_H
