// SPDX-License-Identifier: MIT
// bignum::integer: a value type over the handle API of <bignum/bignum.h>.
//
// Each integer owns one BigNum block and frees it when destroyed, so values
// can be copied, moved, returned and kept in containers, and nothing leaks
// when an exception passes.
//
// Precision: every block has the size the process-wide precision gives it,
// 1024 bits unless `set_precision` chose another (1 .. max_precision), and
// holds a magnitude of four times that many bits, `capacity_bits()`. The
// precision can change only while no number is alive: destroy every integer
// (statics too) and free every handle first.
//
// Semantics: the arithmetic calls into the handle API and keeps its rules:
// division truncates towards zero and a non-zero remainder has the
// dividend's sign. Where built-ins and the handle API differ, the value type
// means what a built-in (and mpz_class) means: `>>` rounds towards negative
// infinity, `&`, `|`, `^`, `~` and `test_bit` act on the infinite two's
// complement, and `inv_mod` and `pow_mod` give results in 0 .. |m| - 1. A
// moved-from integer holds no block and reads as 0 in every operation (it
// may also be assigned to, swapped or read into), and a zero is zero
// whatever used count and sign word a byte loader gave it.
//
// Errors: a result past the capacity raises `big_error` [capacity_exceeded]
// whose `what()` names the operation, the bits the result needs at least,
// the capacity and the precision that would hold it; a zero divisor, or a
// modulus without the inverse asked for, raises `big_division_by_zero`;
// malformed text raises `parse_error`, and a base outside 2 .. 36 or a
// negative count, bit index or exponent `std::invalid_argument`; `isqrt`
// and `popcount` of a negative and a non-finite double raise
// `std::domain_error`, and `to<T>()` of a value T cannot hold
// `std::overflow_error`. An operation that raises leaves its operands, and
// the integer it assigns to, as they were.

#ifndef BIGNUM_INTEGER_H
#define BIGNUM_INTEGER_H

// Concepts, <compare> and <bit> below need it; say so before they fail.
#if __cplusplus < 202002L && (!defined(_MSVC_LANG) || _MSVC_LANG < 202002L)
#error "<bignum/integer.h> needs C++20: compile with -std=c++20 or later"
#endif

#include <bignum/bignum.h>
#include <bignum/export.h>

#include <algorithm>
#include <array>
#include <bit>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <limits>
#include <random>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace bignum {

// ---------------------------------------------------------------------------
// Precision: the handle API's settings, in bits
// ---------------------------------------------------------------------------

// The largest precision; it gives a capacity of 65536 bits.
inline constexpr std::uint32_t max_precision = 16383;

// Sets the precision (1 .. max_precision bits, rounded up to a multiple of
// 32); the capacity becomes four times it. Refused with `big_error` while any
// number is alive, naming how many are; out of range likewise.
BIGNUM_EXPORT void set_precision(std::uint64_t bits);
// The precision in bits, rounded as set: 1024 until changed.
[[nodiscard]] inline std::uint32_t precision() noexcept { return big_limb_capacity() * 8; }
// The largest magnitude a number holds, in bits: four times the precision.
[[nodiscard]] inline std::uint32_t capacity_bits() noexcept { return big_limb_capacity() * 32; }

// Raises `big_error` [capacity_exceeded] whose `what()` says that `subject`
// ("a product") needs at least `bits` bits (at least one more than the
// capacity, whatever `bits` says), names the capacity and the precision that
// would hold it. Where the message cannot be built for want of memory, the
// plain prebuilt error is raised instead.
[[noreturn]] BIGNUM_EXPORT void raise_capacity_error(std::string_view subject, std::uint64_t bits);

namespace detail {

// The signed and unsigned integer types; bool and the character types are
// left out, so that neither true nor 'x' becomes a number by accident.
template <class T>
concept builtin_integer =
    std::is_same_v<T, signed char> || std::is_same_v<T, short> || std::is_same_v<T, int> || std::is_same_v<T, long> ||
    std::is_same_v<T, long long> || std::is_same_v<T, unsigned char> || std::is_same_v<T, unsigned short> ||
    std::is_same_v<T, unsigned int> || std::is_same_v<T, unsigned long> || std::is_same_v<T, unsigned long long>;

// A block of the largest capacity holding +0: what a moved-from integer, and
// a zero in any form, is read as. Never written.
inline constexpr std::uint32_t largest_capacity = (max_precision + 31) / 32 * 4;
inline constexpr std::array<std::uint32_t, 2 + largest_capacity> zero_words{1};
[[nodiscard]] inline const BigNum* zero_block() noexcept { return reinterpret_cast<const BigNum*>(zero_words.data()); }

// A shift count, bit index or exponent, refused with std::invalid_argument
// when negative.
template <builtin_integer N>
[[nodiscard]] std::uint64_t count_of(N n, const char* what)
{
    if (std::cmp_less(n, 0)) {
        throw std::invalid_argument(std::string("bignum: a negative ") + what);
    }
    return static_cast<std::uint64_t>(n);
}

// The value of ch as a digit of a base up to 36, letters in either case; 36
// for any other byte.
constexpr unsigned digit_value(char ch) noexcept
{
    if (ch >= '0' && ch <= '9') {
        return static_cast<unsigned>(ch - '0');
    }
    if (ch >= 'a' && ch <= 'z') {
        return static_cast<unsigned>(ch - 'a') + 10;
    }
    if (ch >= 'A' && ch <= 'Z') {
        return static_cast<unsigned>(ch - 'A') + 10;
    }
    return 36;
}

// Bytes of the UTF-8 character that begins with lead; 1 for a stray byte.
constexpr std::size_t utf8_length(char lead) noexcept
{
    const auto byte = static_cast<unsigned char>(lead);
    return byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
}

} // namespace detail

// Malformed text given to `integer(text, base)` or `integer::parse`. `what()`
// names the position and the offending byte (or the end of the text).
class BIGNUM_EXPORT parse_error : public std::invalid_argument {
public:
    // Names text[position], or the end of the text at its length.
    parse_error(std::string_view text, std::size_t position);
    // Index of the first offending byte; the text's length when it ended
    // where a digit was needed.
    [[nodiscard]] std::size_t position() const noexcept { return position_; }

private:
    std::size_t position_;
};

class BIGNUM_EXPORT integer {
public:
    // Zero.
    integer() : x_(big_new()) {}
    // Any built-in integer value, exactly (INT64_MIN and UINT64_MAX too).
    template <detail::builtin_integer I>
    // cppcheck-suppress noExplicitConstructor ; implicit, for mixed expressions
    integer(I v) : x_(new_from(magnitude_of(v), std::cmp_less(v, 0)))
    {
    }
    // The value of d truncated towards zero; NaN and the infinities raise
    // std::domain_error.
    explicit integer(double d);
    // The text in a base from 2 to 36: an optional sign, for bases 2, 8 and 16
    // an optional prefix 0b/0B, 0o/0O or 0x/0X, then one or more digits of the
    // base (letters in either case), and nothing else. Base 0 takes the base
    // from the prefix, and decimal without one. Malformed text raises
    // `parse_error`, another base `std::invalid_argument`, and a value past
    // the limb capacity `big_error`. Time grows with the digits times the
    // value's limbs; for bases 2, 4, 8, 16 and 32 only with the digits.
    explicit integer(std::string_view text, int base = 10) : integer(parse(text, base)) {}
    // The same as a named function.
    [[nodiscard]] static integer parse(std::string_view text, int base = 10);
    // An integer literal's text as the language reads it (0x, 0b, a leading 0
    // for octal, digit separators), as `_n` passes it; malformed text raises
    // `parse_error`.
    [[nodiscard]] static integer from_literal(std::string_view text);
    // The non-negative value of a magnitude's bytes in the given order;
    // leading zero bytes are allowed, and no bytes give 0.
    [[nodiscard]] static integer from_bytes(std::span<const std::byte> bytes, std::endian order);

    // Copies make a new block; moves and swaps hand the block over, and
    // neither allocates.
    integer(const integer& other) : x_(big_new()) { big_copy(x_, other.value()); }
    integer(integer&& other) noexcept : x_(std::exchange(other.x_, nullptr)) {}
    // NOLINTNEXTLINE(bugprone-unhandled-self-assignment): big_copy allows dst == src
    integer& operator=(const integer& other)
    {
        big_copy(handle(), other.value());
        return *this;
    }
    integer& operator=(integer&& other) noexcept
    {
        swap(other);
        return *this;
    }
    // A release the heap refuses means it is corrupt, and ends the process.
    // NOLINTNEXTLINE(bugprone-exception-escape): terminating is intended, as said above
    ~integer() { big_free(x_); }
    void swap(integer& other) noexcept { std::swap(x_, other.x_); }
    friend void swap(integer& a, integer& b) noexcept { a.swap(b); }

    // Arithmetic, each operand also any built-in integer. / truncates and %
    // has the dividend's sign; either raises `big_division_by_zero` for 0.
    friend integer operator+(const integer& a, const integer& b) { return binary(op::add, a, b); }
    friend integer operator-(const integer& a, const integer& b) { return binary(op::subtract, a, b); }
    friend integer operator*(const integer& a, const integer& b) { return binary(op::multiply, a, b); }
    friend integer operator/(const integer& a, const integer& b) { return binary(op::divide, a, b); }
    friend integer operator%(const integer& a, const integer& b) { return binary(op::remainder, a, b); }
    // Bits of the infinite two's complement, as for built-ins: -1 & x is x,
    // ~x is -x - 1.
    friend integer operator&(const integer& a, const integer& b) { return binary(op::bit_and, a, b); }
    friend integer operator|(const integer& a, const integer& b) { return binary(op::bit_or, a, b); }
    friend integer operator^(const integer& a, const integer& b) { return binary(op::bit_xor, a, b); }
    integer operator~() const { return unary(op::complement, *this); }
    integer operator-() const { return unary(op::negate, *this); }
    integer operator+() const { return *this; }
    integer& operator+=(const integer& b) { return *this = *this + b; }
    integer& operator-=(const integer& b) { return *this = *this - b; }
    integer& operator*=(const integer& b) { return *this = *this * b; }
    integer& operator/=(const integer& b) { return *this = *this / b; }
    integer& operator%=(const integer& b) { return *this = *this % b; }
    integer& operator&=(const integer& b) { return *this = *this & b; }
    integer& operator|=(const integer& b) { return *this = *this | b; }
    integer& operator^=(const integer& b) { return *this = *this ^ b; }

    // Shifts as for built-ins: x << n is x * 2^n and x >> n is x / 2^n
    // rounded towards negative infinity (-5 >> 1 is -3). The count is any
    // built-in integer, never truncated; a negative one raises
    // std::invalid_argument, and a left shift past the capacity `big_error`.
    template <detail::builtin_integer N>
    friend integer operator<<(const integer& x, N count)
    {
        return shift_left(x, detail::count_of(count, "shift count"));
    }
    template <detail::builtin_integer N>
    friend integer operator>>(const integer& x, N count)
    {
        return shift_right(x, detail::count_of(count, "shift count"));
    }
    template <detail::builtin_integer N>
    integer& operator<<=(N count)
    {
        return *this = *this << count;
    }
    template <detail::builtin_integer N>
    integer& operator>>=(N count)
    {
        return *this = *this >> count;
    }

    integer& operator++() { return *this = unary(op::increment, *this); }
    integer& operator--() { return *this = unary(op::decrement, *this); }
    integer operator++(int) { return std::exchange(*this, unary(op::increment, *this)); }
    integer operator--(int) { return std::exchange(*this, unary(op::decrement, *this)); }

    // Values compare as numbers, also against built-in integers.
    friend bool operator==(const integer& a, const integer& b) { return compare(a, b) == 0; }
    friend std::strong_ordering operator<=>(const integer& a, const integer& b) { return compare(a, b) <=> 0; }

    // True when non-zero.
    explicit operator bool() const noexcept { return sign() != 0; }
    // -1, 0 or +1.
    [[nodiscard]] int sign() const noexcept
    {
        const BigNum* v = value();
        if (big_used_count(v) == 1 && big_limbs(v)[0] == 0) {
            return 0;
        }
        return big_sign_word(v) != 0 ? -1 : 1;
    }
    // Bits in the magnitude; 0 for zero.
    [[nodiscard]] std::uint32_t bit_length() const noexcept { return big_bit_length(value()); }
    // Bit n of the two's complement, as for built-ins: set for every n past
    // the bit length of a negative value. A negative n raises
    // std::invalid_argument.
    template <detail::builtin_integer N>
    [[nodiscard]] bool test_bit(N n) const
    {
        return bit_at(detail::count_of(n, "bit index"));
    }
    // Set bits of a non-negative value; a negative one has infinitely many
    // and raises std::domain_error.
    [[nodiscard]] std::uint32_t popcount() const;
    // Bit n of the infinite two's complement set, cleared or flipped, as
    // test_bit reads it: clear_bit(0) of -1 gives -2. A negative n raises
    // std::invalid_argument, a result past the capacity `big_error`.
    void set_bit(std::uint64_t n);
    void clear_bit(std::uint64_t n);
    void flip_bit(std::uint64_t n);
    template <detail::builtin_integer N>
    void set_bit(N n)
    {
        set_bit(detail::count_of(n, "bit index"));
    }
    template <detail::builtin_integer N>
    void clear_bit(N n)
    {
        clear_bit(detail::count_of(n, "bit index"));
    }
    template <detail::builtin_integer N>
    void flip_bit(N n)
    {
        flip_bit(detail::count_of(n, "bit index"));
    }
    // The index of the lowest set bit, the same for x and -x; zero has none
    // and raises std::domain_error.
    [[nodiscard]] std::uint32_t countr_zero() const;

    // Whether the value is within T's range.
    template <detail::builtin_integer T>
    [[nodiscard]] bool fits() const noexcept
    {
        constexpr auto digits = static_cast<std::uint32_t>(std::numeric_limits<T>::digits);
        const std::uint32_t bits = bit_length();
        if (sign() >= 0) {
            return bits <= digits;
        }
        if constexpr (std::is_signed_v<T>) {
            // A negative's magnitude may reach 2^digits, the most negative value.
            return bits <= digits + 1 && low_magnitude() <= std::uint64_t{1} << digits;
        }
        return false;
    }
    // The value as T; std::overflow_error when it does not fit.
    template <detail::builtin_integer T>
    [[nodiscard]] T to() const
    {
        if (!fits<T>()) {
            refuse_conversion(std::numeric_limits<T>::digits, std::is_signed_v<T>);
        }
        // Modulo 2^64, then to T: exact for every value that fits.
        const std::uint64_t m = low_magnitude();
        return static_cast<T>(sign() < 0 ? 0 - m : m);
    }
    // The nearest double towards zero, as mpz_get_d; an infinity past the
    // double range.
    [[nodiscard]] double to_double() const noexcept;

    // The value in a base from 2 to 36: "-" for a negative, then the digits
    // without prefix or leading zeros, letters upper case; "0" for zero.
    // Another base raises `std::invalid_argument`. Bases 2, 4, 8, 16 and 32
    // take time linear in the size, the others (decimal too) quadratic, with
    // one word division per limb for every word's worth of digits (nine
    // decimal ones).
    [[nodiscard]] std::string to_string(int base = 10) const;
    // The magnitude's bytes without leading zeros (one zero byte for 0), most
    // significant first for std::endian::big, least for little. The sign is
    // not written.
    [[nodiscard]] std::vector<std::byte> to_bytes(std::endian order) const;

    // The block, for the handle API. Read through a const integer, a
    // moved-from integer and any zero give a shared +0 block, which must not
    // be written. The non-const form gives this integer's own block (a new +0
    // one when moved from, so it may raise `big_error`); a value loaded into it
    // by the byte loaders goes through `big_normalize` before any arithmetic,
    // as with any handle.
    [[nodiscard]] BigNum* handle()
    {
        if (x_ == nullptr) {
            x_ = big_new();
        }
        return x_;
    }
    [[nodiscard]] const BigNum* handle() const noexcept { return value(); }
    // Takes ownership of a block from `big_new` or `big_new_word`.
    [[nodiscard]] static integer adopt(BigNum* x) noexcept { return integer(x, owned{}); }
    // Gives the block up to the caller, who frees it (null when moved from);
    // this integer is then as if moved from.
    [[nodiscard]] BigNum* release() noexcept { return std::exchange(x_, nullptr); }

private:
    enum class op : std::uint8_t {
        add,
        subtract,
        multiply,
        divide,
        remainder,
        bit_and,
        bit_or,
        bit_xor,
        complement,
        negate,
        increment,
        decrement,
    };
    // One call into the handle API (or the two's complement for the bit
    // operations); a capacity refusal names the operation and its size.
    static integer binary(op o, const integer& a, const integer& b);
    static integer unary(op o, const integer& x);
    static integer shift_left(const integer& x, std::uint64_t count);
    static integer shift_right(const integer& x, std::uint64_t count);
    [[nodiscard]] bool bit_at(std::uint64_t n) const noexcept;
    [[noreturn]] void refuse_conversion(int digits, bool is_signed) const;

    struct owned {};
    integer(BigNum* x, owned /*tag*/) noexcept : x_(x) {}

    template <detail::builtin_integer I>
    static std::uint64_t magnitude_of(I v) noexcept
    {
        // Unsigned arithmetic, so that the most negative value negates exactly.
        const auto bits = static_cast<std::uint64_t>(v);
        return std::cmp_less(v, 0) ? 0 - bits : bits;
    }
    static BigNum* new_from(std::uint64_t magnitude, bool negative);

    // The block every read goes through. A normal non-zero value passes on
    // its top limb alone; a moved-from integer and a zero of any used count
    // and sign word read as the shared +0.
    [[nodiscard]] const BigNum* value() const noexcept
    {
        if (x_ != nullptr && big_limbs(x_)[big_used_count(x_) - 1] != 0) {
            return x_;
        }
        return x_ != nullptr && !all_limbs_zero(x_) ? x_ : detail::zero_block();
    }
    static bool all_limbs_zero(const BigNum* x) noexcept
    {
        const std::span<const std::uint32_t> limbs{big_limbs(x), big_used_count(x)};
        return std::all_of(limbs.begin(), limbs.end(), [](std::uint32_t l) { return l == 0; });
    }
    // The magnitude modulo 2^64.
    [[nodiscard]] std::uint64_t low_magnitude() const noexcept
    {
        const BigNum* v = value();
        const std::uint64_t high = big_used_count(v) > 1 ? big_limbs(v)[1] : 0;
        return high << 32U | big_limbs(v)[0];
    }

    static int compare(const integer& a, const integer& b) { return big_cmp(a.value(), b.value()); }

    BigNum* x_;
};

// |x|.
[[nodiscard]] inline integer abs(const integer& x) { return x.sign() < 0 ? -x : x; }
// base^exp mod |mod|, in 0 .. |mod| - 1 for every sign of base. A negative
// exponent raises the inverse of base to |exp|, and raises
// `big_division_by_zero` when there is none, as does a zero modulus. An odd
// modulus uses Montgomery multiplication, whose products need three times the
// modulus's limbs within the capacity; an even one needs twice.
[[nodiscard]] BIGNUM_EXPORT integer pow_mod(const integer& base, const integer& exp, const integer& mod);
// gcd(|a|, |b|), non-negative; gcd(0, 0) is 0.
[[nodiscard]] BIGNUM_EXPORT integer gcd(const integer& a, const integer& b);
// lcm(|a|, |b|), non-negative; lcm(0, 0) raises `big_division_by_zero`.
[[nodiscard]] BIGNUM_EXPORT integer lcm(const integer& a, const integer& b);
// The inverse of a modulo |m|, in 0 .. |m| - 1, for every sign of a and m;
// without one (gcd(a, m) != 1, or m = 0) it raises `big_division_by_zero`.
[[nodiscard]] BIGNUM_EXPORT integer inv_mod(const integer& a, const integer& m);
// x^n; 0^0 is 1. A negative n raises std::invalid_argument.
[[nodiscard]] BIGNUM_EXPORT integer pow(const integer& x, std::uint64_t n);
template <detail::builtin_integer N>
[[nodiscard]] integer pow(const integer& x, N n)
{
    return pow(x, detail::count_of(n, "exponent"));
}
// The floor of the square root; a negative x raises std::domain_error.
[[nodiscard]] BIGNUM_EXPORT integer isqrt(const integer& x);
// a / b and a % b from one division: auto [q, r] = divmod(a, b).
struct divmod_result {
    integer quotient;
    integer remainder;
};
[[nodiscard]] inline divmod_result divmod(const integer& a, const integer& b)
{
    divmod_result r;
    big_divmod(a.handle(), b.handle(), r.quotient.handle(), r.remainder.handle());
    return r;
}
// Miller-Rabin on |x|, as mpz_probab_prime_p reads a negative. Exact below
// 2^64, where the prime bases up to 37 decide whatever `rounds` says; above,
// x must pass `rounds` bases (those primes first, then fixed pseudo-random
// ones, so that an answer is repeatable): each lets at most a quarter of the
// composites through.
[[nodiscard]] BIGNUM_EXPORT bool is_probable_prime(const integer& x, int rounds = 25);

// Uniform in 0 .. 2^n - 1, from 64-bit words of gen; a negative n raises
// std::invalid_argument, an n past the capacity `big_error`.
template <std::uniform_random_bit_generator G, detail::builtin_integer N>
[[nodiscard]] integer random_bits(G& gen, N n)
{
    const std::uint64_t bits = detail::count_of(n, "bit count");
    if (bits > capacity_bits()) {
        raise_capacity_error("a random value", bits);
    }
    std::vector<std::byte> bytes((bits + 7) / 8);
    std::uniform_int_distribution<std::uint64_t> word;
    for (std::size_t i = 0; i < bytes.size(); i += 8) {
        const std::uint64_t w = word(gen);
        for (std::size_t j = i; j < std::min(i + 8, bytes.size()); ++j) {
            bytes[j] = static_cast<std::byte>(w >> (8 * (j - i)));
        }
    }
    if (bits % 8 != 0) {
        bytes.back() &= static_cast<std::byte>((1U << (bits % 8)) - 1);
    }
    return integer::from_bytes(bytes, std::endian::little);
}
// Uniform in 0 .. bound - 1, exactly: draws of bound - 1's bit length until
// one is below bound (fewer than two on average). A bound below 1 raises
// std::domain_error.
template <std::uniform_random_bit_generator G>
[[nodiscard]] integer random_below(G& gen, const integer& bound)
{
    if (bound.sign() <= 0) {
        throw std::domain_error("bignum: random_below needs a bound of 1 or more");
    }
    const std::uint32_t bits = (bound - 1).bit_length();
    integer r = random_bits(gen, bits);
    while (r >= bound) {
        r = random_bits(gen, bits);
    }
    return r;
}
// The least probable prime above x (2 for any x below 2), by
// is_probable_prime's test after a sieve of small primes; a prime past the
// capacity raises `big_error`.
[[nodiscard]] BIGNUM_EXPORT integer next_prime(const integer& x);
// The Jacobi symbol (a/n), -1, 0 or 1; an even or non-positive n raises
// std::domain_error.
[[nodiscard]] BIGNUM_EXPORT int jacobi(const integer& a, const integer& n);
// The Kronecker symbol (a/n), -1, 0 or 1, for every a and n.
[[nodiscard]] BIGNUM_EXPORT int kronecker(const integer& a, const integer& n);
// The k-th root truncated towards zero (the floor for x >= 0, minus the
// root of -x for a negative x with odd k); a negative x with even k, and
// k = 0, raise std::domain_error, a negative k std::invalid_argument.
[[nodiscard]] BIGNUM_EXPORT integer iroot(const integer& x, std::uint64_t k);
template <detail::builtin_integer N>
[[nodiscard]] integer iroot(const integer& x, N k)
{
    return iroot(x, detail::count_of(k, "root index"));
}
// Whether x = a^2 for an integer a: true for 0 and 1, false for a negative.
[[nodiscard]] BIGNUM_EXPORT bool is_perfect_square(const integer& x);
// Whether x = a^b for integers a and b > 1: true for 0, 1 and -1; a
// negative x only with an odd b (-8 is, -4 is not).
[[nodiscard]] BIGNUM_EXPORT bool is_perfect_power(const integer& x);
// a / b rounded towards negative infinity, its remainder a - b * floor_div
// (0 or b's sign), and a / b rounded towards positive infinity; a zero b
// raises `big_division_by_zero`.
[[nodiscard]] BIGNUM_EXPORT integer floor_div(const integer& a, const integer& b);
[[nodiscard]] BIGNUM_EXPORT integer floor_mod(const integer& a, const integer& b);
[[nodiscard]] BIGNUM_EXPORT integer ceil_div(const integer& a, const integer& b);
// n!; a negative n raises std::invalid_argument, a result past the
// capacity `big_error`.
[[nodiscard]] BIGNUM_EXPORT integer factorial(std::uint64_t n);
template <detail::builtin_integer N>
[[nodiscard]] integer factorial(N n)
{
    return factorial(detail::count_of(n, "factorial argument"));
}
// n choose k, 0 for k > n; a negative n or k raises std::invalid_argument,
// a result past the capacity `big_error`.
[[nodiscard]] BIGNUM_EXPORT integer binomial(std::uint64_t n, std::uint64_t k);
template <detail::builtin_integer N, detail::builtin_integer K>
[[nodiscard]] integer binomial(N n, K k)
{
    return binomial(detail::count_of(n, "binomial argument"), detail::count_of(k, "binomial argument"));
}
// The n-th Fibonacci number, F(0) = 0, F(1) = 1; a negative n raises
// std::invalid_argument, a result past the capacity `big_error`.
[[nodiscard]] BIGNUM_EXPORT integer fibonacci(std::uint64_t n);
template <detail::builtin_integer N>
[[nodiscard]] integer fibonacci(N n)
{
    return fibonacci(detail::count_of(n, "Fibonacci index"));
}
// g = gcd(a, b) >= 0 with g = s * a + t * b, s and t the least ones as GMP
// chooses them (|s| < |b| / 2g and |t| < |a| / 2g but for its few edge
// cases): auto [g, s, t] = gcd_ext(a, b). Refuses nothing.
struct gcd_ext_result {
    integer g;
    integer s;
    integer t;
};
[[nodiscard]] BIGNUM_EXPORT gcd_ext_result gcd_ext(const integer& a, const integer& b);

// Decimal, or base 16 or 8 under std::hex or std::oct: lower-case unless
// std::uppercase, with 0x, 0X or 0 before a non-zero value under
// std::showbase. A negative is "-" then its magnitude; in decimal a
// non-negative starts with "+" under std::showpos, as a long long does. The
// width and fill are honoured, std::internal padding after the sign and 0x.
BIGNUM_EXPORT std::ostream& operator<<(std::ostream& out, const integer& x);
// Reads as the stream reads a long long: white space skipped under
// std::skipws, then an optional sign and the digits of the basefield's base;
// with no basefield, 0x or 0X means hexadecimal and a leading 0 octal.
// Reading stops before the first byte that cannot continue the number. When
// no number was read, failbit is set and x keeps its value; eofbit is set
// when the input ended. A value past the capacity raises `big_error`, x
// unchanged; reading stops, and raises as well, at the first significant
// digit past as many as the capacity has bits, so endless digits cost
// bounded memory and time.
BIGNUM_EXPORT std::istream& operator>>(std::istream& in, integer& x);

// A format spec for an integer, as fmt and <format> write it:
// [[fill]align][sign][#][0][width][type], type one of d x X o b B.
struct format_spec {
    // The widest a spec may ask for.
    static constexpr std::size_t max_width = 1'000'000;

    std::array<char, 4> fill{' '}; // one UTF-8 character
    std::size_t fill_size = 1;
    char align = '\0';      // '<', '>', '^', or none: right (after the sign under '0')
    char sign = '-';        // '-', '+' or ' ': what a non-negative value starts with
    bool alternate = false; // '#': the base's prefix
    bool zero_pad = false;
    std::size_t width = 0;
    char type = 'd';
};

// x laid out by spec: what the formatters in <bignum/format.h> write.
[[nodiscard]] BIGNUM_EXPORT std::string formatted(const integer& x, const format_spec& spec);

namespace detail {

// Where an integer literal's digits begin and their base, as the language
// reads it: 0x, 0b, a leading 0 for octal, otherwise decimal.
struct literal_form {
    unsigned base;
    std::size_t start;
};
constexpr literal_form literal_form_of(std::string_view text) noexcept
{
    if (text.size() < 2 || text[0] != '0') {
        return {10, 0};
    }
    if (text[1] == 'x' || text[1] == 'X') {
        return {16, 2};
    }
    return text[1] == 'b' || text[1] == 'B' ? literal_form{2, 2} : literal_form{8, 1};
}
// Where text stops being an integer literal: the first byte that is neither
// a digit of its base nor a separator between two digits (the octal 0 is a
// digit, the 0x and 0b prefixes are not), the text's length when it ends
// without a last digit, npos when it is one. Catches the floating forms a
// raw literal also receives.
constexpr std::size_t literal_error(std::string_view text) noexcept
{
    const literal_form form = literal_form_of(text);
    bool after_digit = form.base == 8;
    for (std::size_t i = form.start; i < text.size(); ++i) {
        const bool separator = text[i] == '\'';
        if (separator ? !after_digit : digit_value(text[i]) >= form.base) {
            return i;
        }
        after_digit = !separator;
    }
    return after_digit ? std::string_view::npos : text.size();
}
constexpr bool is_integer_literal(std::string_view text) noexcept
{
    return literal_error(text) == std::string_view::npos;
}

} // namespace detail

namespace literals {

// 123456789012345678901234567890_n, 0xFFFF'FFFF'FFFF'FFFF'FFFF_n, 0b1_n,
// 0777_n: integer literals of any length, read as the language reads its
// own (digit separators included). Anything else does not compile.
template <char... text>
[[nodiscard]] integer operator""_n()
{
    static constexpr std::array<char, sizeof...(text)> chars{text...};
    static_assert(detail::is_integer_literal({chars.data(), chars.size()}),
                  "bignum: _n takes an integer literal: decimal, 0x hexadecimal, 0b binary or 0 octal digits");
    return integer::from_literal({chars.data(), chars.size()});
}

} // namespace literals

} // namespace bignum

// Agrees with ==: every zero hashes alike.
template <>
struct std::hash<bignum::integer> {
    std::size_t operator()(const bignum::integer& x) const noexcept
    {
        const BigNum* h = x.handle();
        std::size_t seed = x.sign() < 0 ? 1 : 0;
        for (std::uint32_t i = 0; i < big_used_count(h); ++i) {
            seed ^= std::hash<std::uint32_t>{}(big_limbs(h)[i]) + 0x9E3779B9U + (seed << 6U) + (seed >> 2U);
        }
        return seed;
    }
};

// Unbounded at compile time: the bound is the run-time capacity. Every
// member a generic algorithm may ask for is here, as for a built-in integer.
template <>
struct std::numeric_limits<bignum::integer> {
    static constexpr bool is_specialized = true;
    static constexpr bool is_signed = true;
    static constexpr bool is_integer = true;
    static constexpr bool is_exact = true;
    static constexpr bool is_bounded = false;
    static constexpr bool is_modulo = false;
    static constexpr bool is_iec559 = false;
    static constexpr bool has_infinity = false;
    static constexpr bool has_quiet_NaN = false;
    static constexpr bool has_signaling_NaN = false;
    static constexpr std::float_denorm_style has_denorm = std::denorm_absent;
    static constexpr bool has_denorm_loss = false;
    static constexpr bool traps = false;
    static constexpr bool tinyness_before = false;
    static constexpr std::float_round_style round_style = std::round_toward_zero;
    static constexpr int radix = 2;
    static constexpr int digits = 0;
    static constexpr int digits10 = 0;
    static constexpr int max_digits10 = 0;
    static constexpr int min_exponent = 0;
    static constexpr int min_exponent10 = 0;
    static constexpr int max_exponent = 0;
    static constexpr int max_exponent10 = 0;
    // Zero, as for every type these do not apply to.
    static bignum::integer min() { return {}; }
    static bignum::integer max() { return {}; }
    static bignum::integer lowest() { return {}; }
    static bignum::integer epsilon() { return {}; }
    static bignum::integer round_error() { return {}; }
    static bignum::integer infinity() { return {}; }
    static bignum::integer quiet_NaN() { return {}; }
    static bignum::integer signaling_NaN() { return {}; }
    static bignum::integer denorm_min() { return {}; }
};

#endif // BIGNUM_INTEGER_H
