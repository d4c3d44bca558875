// SPDX-License-Identifier: MIT
// bignum::integer: a value type over the handle API of <bignum/bignum.h>.
//
// Each integer owns one BigNum block and frees it when destroyed, so values
// can be copied, moved, returned and kept in containers, and nothing leaks
// when an exception passes. Every operation is one call into the handle API,
// whose rules it keeps: division truncates towards zero, a non-zero remainder
// has the dividend's sign, a zero divisor raises `big_division_by_zero`, and
// a result past the limb capacity raises `big_error`. An operation that
// raises leaves its operands, and the integer it assigns to, as they were.
//
// The precision stays process-wide: destroy every integer (and every handle)
// before `big_set_precision`, which refuses to run while blocks are alive.
//
// A moved-from integer holds no block: it may only be assigned to or
// destroyed.

#ifndef BIGNUM_INTEGER_H
#define BIGNUM_INTEGER_H

#include <bignum/bignum.h>
#include <bignum/export.h>

#include <array>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

namespace bignum {

namespace detail {

// The signed and unsigned integer types; bool and the character types are
// left out, so that neither true nor 'x' becomes a number by accident.
template <class T>
concept builtin_integer =
    std::is_same_v<T, signed char> || std::is_same_v<T, short> || std::is_same_v<T, int> || std::is_same_v<T, long> ||
    std::is_same_v<T, long long> || std::is_same_v<T, unsigned char> || std::is_same_v<T, unsigned short> ||
    std::is_same_v<T, unsigned int> || std::is_same_v<T, unsigned long> || std::is_same_v<T, unsigned long long>;

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

    // Copies make a new block; moves and swaps hand the block over.
    integer(const integer& other) : x_(big_new()) { big_copy(x_, other.x_); }
    integer(integer&& other) noexcept : x_(std::exchange(other.x_, nullptr)) {}
    // NOLINTNEXTLINE(bugprone-unhandled-self-assignment): big_copy allows dst == src
    integer& operator=(const integer& other)
    {
        if (x_ == nullptr) {
            x_ = big_new();
        }
        big_copy(x_, other.x_);
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
    friend integer operator+(const integer& a, const integer& b) { return changed<big_add>(a, b); }
    friend integer operator-(const integer& a, const integer& b) { return changed<big_sub>(a, b); }
    friend integer operator*(const integer& a, const integer& b) { return result<big_mul>(a, b); }
    friend integer operator/(const integer& a, const integer& b) { return result<quotient>(a, b); }
    friend integer operator%(const integer& a, const integer& b) { return result<big_mod>(a, b); }
    integer operator-() const { return changed<big_sub>(integer(), *this); }
    integer operator+() const { return *this; }
    integer& operator+=(const integer& b) { return *this = *this + b; }
    integer& operator-=(const integer& b) { return *this = *this - b; }
    integer& operator*=(const integer& b) { return *this = *this * b; }
    integer& operator/=(const integer& b) { return *this = *this / b; }
    integer& operator%=(const integer& b) { return *this = *this % b; }

    // Shifts act on the magnitude and keep the sign, unlike a built-in's
    // arithmetic shift: -5 >> 1 is -2 here, not -3. A right shift to zero
    // gives +0; a left shift past the capacity raises `big_error`.
    friend integer operator<<(const integer& x, std::uint32_t count) { return result<big_shl_to>(x, count); }
    friend integer operator>>(const integer& x, std::uint32_t count) { return result<big_shr_to>(x, count); }
    integer& operator<<=(std::uint32_t count) { return *this = *this << count; }
    integer& operator>>=(std::uint32_t count) { return *this = *this >> count; }

    integer& operator++() { return *this = changed<big_inc>(*this); }
    integer& operator--() { return *this = changed<big_dec>(*this); }
    integer operator++(int) { return std::exchange(*this, changed<big_inc>(*this)); }
    integer operator--(int) { return std::exchange(*this, changed<big_dec>(*this)); }

    // Values compare as numbers, also against built-in integers: a negative
    // zero (which only the byte-string loaders make) equals zero.
    friend bool operator==(const integer& a, const integer& b) { return compare(a, b) == 0; }
    friend std::strong_ordering operator<=>(const integer& a, const integer& b) { return compare(a, b) <=> 0; }

    // True when non-zero.
    explicit operator bool() const noexcept { return sign() != 0; }
    // -1, 0 or +1; 0 for a negative zero too.
    [[nodiscard]] int sign() const noexcept
    {
        if (big_used_count(x_) == 1 && big_limbs(x_)[0] == 0) {
            return 0;
        }
        return big_sign_word(x_) != 0 ? -1 : 1;
    }
    // Bits in the magnitude; 0 for zero.
    [[nodiscard]] std::uint32_t bit_length() const noexcept { return big_bit_length(x_); }
    // The value in a base from 2 to 36: "-" for a negative, then the digits
    // without prefix or leading zeros, letters upper case; "0" for zero.
    // Another base raises `std::invalid_argument`. Bases 2, 4, 8, 16 and 32
    // take time linear in the size, the others (decimal too) quadratic, with
    // one pass of word divisions per limb's worth of digits.
    [[nodiscard]] std::string to_string(int base = 10) const;

    // The block, for the handle API. A value loaded into it by the byte
    // loaders goes through `big_normalize` before any arithmetic, as with
    // any handle.
    [[nodiscard]] BigNum* handle() noexcept { return x_; }
    [[nodiscard]] const BigNum* handle() const noexcept { return x_; }
    // Takes ownership of a block from `big_new` or `big_new_word`.
    [[nodiscard]] static integer adopt(BigNum* x) noexcept { return integer(x, owned{}); }
    // Gives the block up to the caller, who frees it; this integer is then
    // as if moved from.
    [[nodiscard]] BigNum* release() noexcept { return std::exchange(x_, nullptr); }

private:
    friend integer pow_mod(const integer& base, const integer& exp, const integer& mod);
    friend integer gcd(const integer& a, const integer& b);
    friend integer lcm(const integer& a, const integer& b);
    friend integer inv_mod(const integer& a, const integer& m);

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

    static const BigNum* operand(const integer& x) noexcept { return x.x_; }
    static std::uint32_t operand(std::uint32_t count) noexcept { return count; }
    // A new integer holding op(operands..., result).
    template <auto op, class... Operands>
    static integer result(const Operands&... operands)
    {
        integer r;
        op(operand(operands)..., r.x_);
        return r;
    }
    // A copy of x changed in place by op(x, operands...).
    template <auto op, class... Operands>
    static integer changed(integer x, const Operands&... operands)
    {
        op(x.x_, operand(operands)...);
        return x;
    }
    static void quotient(const BigNum* a, const BigNum* b, BigNum* q) { big_divmod(a, b, q, nullptr); }
    // big_cmp ranks a negative zero below +0; every other pair it orders as
    // numbers.
    static int compare(const integer& a, const integer& b)
    {
        return a.sign() == 0 && b.sign() == 0 ? 0 : big_cmp(a.x_, b.x_);
    }

    BigNum* x_;
};

// |x|.
[[nodiscard]] inline integer abs(const integer& x) { return x.sign() < 0 ? -x : x; }
// base^|exp| mod |mod|, in 0 .. |mod| - 1; a zero modulus raises
// `big_division_by_zero`. An odd modulus uses Montgomery multiplication, whose
// products need three times the modulus's limbs within the capacity.
[[nodiscard]] inline integer pow_mod(const integer& base, const integer& exp, const integer& mod)
{
    return integer::result<big_powmod>(base, exp, mod);
}
// gcd(|a|, |b|), non-negative; gcd(0, 0) is 0.
[[nodiscard]] inline integer gcd(const integer& a, const integer& b)
{
    return integer::result<big_gcd>(abs(a), abs(b));
}
// lcm(|a|, |b|), non-negative; lcm(0, 0) raises `big_division_by_zero`.
[[nodiscard]] inline integer lcm(const integer& a, const integer& b)
{
    return integer::result<big_lcm>(abs(a), abs(b));
}
// a^-1 mod m, in 1 .. m - 1, for a >= 1 and m >= 2 with gcd(a, m) = 1;
// without an inverse it raises `big_division_by_zero`.
[[nodiscard]] inline integer inv_mod(const integer& a, const integer& m) { return integer::result<big_invmod>(a, m); }

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
// unchanged; a run of digits too long for any value stops there and raises
// as well, so endless digits cost bounded memory and time.
BIGNUM_EXPORT std::istream& operator>>(std::istream& in, integer& x);

namespace detail {

// A format spec for an integer, as fmt and <format> write it:
// [[fill]align][sign][#][0][width][type], type one of d x X o b B.
struct format_spec {
    std::array<char, 4> fill{' '}; // one UTF-8 character
    std::size_t fill_size = 1;
    char align = '\0';      // '<', '>', '^', or none: right (after the sign under '0')
    char sign = '-';        // '-', '+' or ' ': what a non-negative value starts with
    bool alternate = false; // '#': the base's prefix
    bool zero_pad = false;
    std::size_t width = 0;
    char type = 'd';
};

// x laid out by spec, for the formatters in <bignum/format.h>.
[[nodiscard]] BIGNUM_EXPORT std::string formatted(const integer& x, const format_spec& spec);

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
// True for an integer literal: digits of its base after its prefix, with
// digit separators. Rejects the floating forms a raw literal also receives.
constexpr bool is_integer_literal(std::string_view text) noexcept
{
    const literal_form form = literal_form_of(text);
    for (std::size_t i = form.start; i < text.size(); ++i) {
        if (text[i] != '\'' && digit_value(text[i]) >= form.base) {
            return false;
        }
    }
    return form.start < text.size();
}
// The value of an integer literal that is_integer_literal accepted.
[[nodiscard]] BIGNUM_EXPORT integer from_literal(std::string_view text);

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
    return detail::from_literal({chars.data(), chars.size()});
}

} // namespace literals

} // namespace bignum

// Agrees with ==: a negative zero hashes as zero.
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

#endif // BIGNUM_INTEGER_H
