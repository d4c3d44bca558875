// SPDX-License-Identifier: MIT
// bignum::integer: a signed integer of any size, as a value type.
//
// An integer owns its magnitude in limbs sized to its value: they grow and
// shrink with it, with no bound but memory. Values up to 64 bits (two limbs)
// live inside the object and allocate nothing. Copies copy the limbs; moves
// and swaps hand them over and never allocate, and a moved-from integer is 0.
// Compound assignments work in place and reuse the integer's own limbs when
// they have room. Built-in operands take part as they are, never as a
// temporary integer. Different integers may be used by different threads at
// once; nothing is shared between them.
//
// Semantics: division truncates towards zero and a non-zero remainder has
// the dividend's sign. Where built-ins and mpz_class agree, the value type
// means what they mean: `>>` rounds towards negative infinity, `&`, `|`, `^`,
// `~` and `test_bit` act on the infinite two's complement, and `inv_mod` and
// `pow_mod` give results in 0 .. |m| - 1.
//
// Errors: memory running out raises `std::bad_alloc`, and a result whose
// size no limb count can describe `std::length_error`; a zero divisor, or a
// modulus without the inverse asked for, raises `big_division_by_zero`
// naming the numbers; malformed text raises `parse_error`, and a base
// outside 2 .. 36 or a negative count, bit index or exponent
// `std::invalid_argument`; `isqrt` and `popcount` of a negative and a
// non-finite floating value raise `std::domain_error`, and `to<T>()` of a
// value T cannot hold `std::overflow_error`. Messages shorten numbers past
// 40 digits in the middle. An operation that raises leaves its operands, and
// the integer it assigns to, as they were.
//
// The handle API of <bignum/bignum.h> is separate: `integer(const BigNum*)`
// reads a block and `to_block` writes one; its precision settings below
// size its blocks only.

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
// Precision: the handle API's settings, in bits. They size the blocks of
// <bignum/bignum.h> and do not bound `integer`.
// ---------------------------------------------------------------------------

// The largest precision; it gives a capacity of 65536 bits.
inline constexpr std::uint32_t max_precision = 16383;

// Sets the handle API's precision (1 .. max_precision bits, rounded up to a
// multiple of 32); its block capacity becomes four times it. Refused with
// `big_error` while any block is alive, naming how many are; out of range
// likewise.
BIGNUM_EXPORT void set_precision(std::uint64_t bits);
// The handle API's precision in bits, rounded as set: 1024 until changed
// (max_precision where the rounding went past it).
[[nodiscard]] inline std::uint32_t precision() noexcept { return std::min(big_limb_capacity() * 8, max_precision); }
// The largest magnitude a block holds, in bits: four times the rounded
// precision.
[[nodiscard]] inline std::uint32_t capacity_bits() noexcept { return big_limb_capacity() * 32; }

// Raises `big_error` [capacity_exceeded] whose `what()` says that `subject`
// ("a product") needs at least `bits` bits (at least one more than the
// capacity, whatever `bits` says), names the capacity and the precision that
// would hold it. Where the message cannot be built for want of memory, the
// plain prebuilt error is raised instead.
[[noreturn]] BIGNUM_EXPORT void raise_capacity_error(std::string_view subject, std::uint64_t bits);

namespace detail {

// The limb of the value type's magnitudes: 64 bits where the compiler has a
// 128-bit product, else 32.
#if defined(__SIZEOF_INT128__)
using limb = std::uint64_t;
__extension__ using int128 = __int128;
__extension__ using uint128 = unsigned __int128;
#else
using limb = std::uint32_t;
#endif
inline constexpr unsigned limb_bits = std::numeric_limits<limb>::digits;

// The signed and unsigned integer types; bool and the character types are
// left out, so that neither true nor 'x' becomes a number by accident.
template <class T>
concept builtin_integer =
    std::is_same_v<T, signed char> || std::is_same_v<T, short> || std::is_same_v<T, int> || std::is_same_v<T, long> ||
    std::is_same_v<T, long long> || std::is_same_v<T, unsigned char> || std::is_same_v<T, unsigned short> ||
    std::is_same_v<T, unsigned int> || std::is_same_v<T, unsigned long> || std::is_same_v<T, unsigned long long>;

// Those and the 128-bit ones where the compiler has them: every built-in
// integer that converts exactly.
#if defined(__SIZEOF_INT128__)
template <class T>
concept exact_integer = builtin_integer<T> || std::is_same_v<T, int128> || std::is_same_v<T, uint128>;
template <class T>
using unsigned_of =
    std::conditional_t<sizeof(T) == 16, uint128, std::make_unsigned_t<std::conditional_t<sizeof(T) == 16, int, T>>>;
#else
template <class T>
concept exact_integer = builtin_integer<T>;
template <class T>
using unsigned_of = std::make_unsigned_t<T>;
#endif

// What must not become a number: bool and the character types.
template <class T>
concept not_a_number = std::is_same_v<T, bool> || std::is_same_v<T, char> || std::is_same_v<T, wchar_t> ||
    std::is_same_v<T, char8_t> || std::is_same_v<T, char16_t> || std::is_same_v<T, char32_t>;

// A magnitude and its sign, read where they lie: `size` limbs without a
// zero on top, least significant first; a zero has size 0.
struct operand {
    const limb* limbs;
    std::size_t size;
    bool negative;
};

// A built-in value's magnitude in limbs of its own, so that it takes part
// in arithmetic without becoming an integer.
class builtin_operand {
public:
    template <exact_integer I>
    explicit builtin_operand(I v) noexcept
    {
        using U = unsigned_of<I>;
        auto m = static_cast<U>(v);
        if constexpr (static_cast<I>(-1) < static_cast<I>(0)) {
            negative_ = v < static_cast<I>(0);
            if (negative_) {
                // Unsigned arithmetic, so that the most negative value negates exactly.
                m = static_cast<U>(U{0} - m);
            }
        }
        if constexpr (sizeof(U) <= sizeof(limb)) {
            limbs_[0] = m;
            size_ = m != 0 ? 1 : 0;
        } else {
            for (; m != 0; m >>= limb_bits) {
                limbs_.at(size_++) = static_cast<limb>(m);
            }
        }
    }
    // NOLINTNEXTLINE(google-explicit-constructor): read as an operand where it stands
    operator operand() const noexcept { return {limbs_.data(), size_, negative_}; }

private:
    std::array<limb, 128 / limb_bits> limbs_{};
    std::size_t size_ = 0;
    bool negative_ = false;
};

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

// A built-in type's name as a user writes it, for messages.
template <builtin_integer T>
constexpr std::string_view type_name() noexcept
{
    constexpr std::array<std::pair<bool, std::string_view>, 10> names{{
        {std::is_same_v<T, signed char>, "signed char"},
        {std::is_same_v<T, short>, "short"},
        {std::is_same_v<T, int>, "int"},
        {std::is_same_v<T, long>, "long"},
        {std::is_same_v<T, long long>, "long long"},
        {std::is_same_v<T, unsigned char>, "unsigned char"},
        {std::is_same_v<T, unsigned short>, "unsigned short"},
        {std::is_same_v<T, unsigned int>, "unsigned int"},
        {std::is_same_v<T, unsigned long>, "unsigned long"},
        {std::is_same_v<T, unsigned long long>, "unsigned long long"},
    }};
    for (const auto& [matches, name] : names) {
        if (matches) {
            return name;
        }
    }
    return {};
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

class integer;

namespace detail {

// What mixes with an integer in arithmetic and comparisons.
template <class T>
concept operand_type = std::is_same_v<T, integer> || exact_integer<T>;
// An integer and another operand, on either side.
template <class A, class B>
concept mixed = (std::is_same_v<A, integer> && operand_type<B>) || (exact_integer<A> && std::is_same_v<B, integer>);

} // namespace detail

class BIGNUM_EXPORT integer {
public:
    // Zero.
    integer() noexcept = default;
    // Any built-in integer value, exactly (the 128-bit ones too where the
    // compiler has them); it fits inside the object.
    template <detail::exact_integer I>
    // cppcheck-suppress noExplicitConstructor ; implicit, for mixed expressions
    integer(I v) noexcept
    {
        set_small(detail::builtin_operand(v));
    }
    // bool and characters are not numbers.
    template <detail::not_a_number T>
    integer(T) = delete;
    // The value of d truncated towards zero, exactly; NaN and the infinities
    // raise std::domain_error.
    explicit integer(double d) : integer(static_cast<long double>(d)) {}
    explicit integer(long double d);
    // The text in a base from 2 to 36: an optional sign, for bases 2, 8 and 16
    // an optional prefix 0b/0B, 0o/0O or 0x/0X, then one or more digits of the
    // base (letters in either case), and nothing else. Base 0 takes the base
    // from the prefix, and decimal without one. Malformed text raises
    // `parse_error`, another base `std::invalid_argument`.
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
    // The value of a handle API block, whatever used count and sign word a
    // byte loader left a zero with.
    explicit integer(const BigNum* block);
    // Writes the value into a block of the handle API; a value past its
    // capacity raises `big_error` [capacity_exceeded] naming the bits, the
    // capacity and the precision that would hold it, and leaves the block
    // as it was.
    void to_block(BigNum* block) const;

    integer(const integer& other) { assign(other.view()); }
    integer(integer&& other) noexcept : storage_(other.storage_), size_(other.size_), capacity_(other.capacity_)
    {
        other.forget();
    }
    integer& operator=(const integer& other)
    {
        if (this != &other) {
            assign(other.view());
        }
        return *this;
    }
    integer& operator=(integer&& other) noexcept
    {
        if (this != &other) {
            release();
            storage_ = other.storage_;
            size_ = other.size_;
            capacity_ = other.capacity_;
            other.forget();
        }
        return *this;
    }
    ~integer() { release(); }
    void swap(integer& other) noexcept
    {
        std::swap(storage_, other.storage_);
        std::swap(size_, other.size_);
        std::swap(capacity_, other.capacity_);
    }
    friend void swap(integer& a, integer& b) noexcept { a.swap(b); }

    // Arithmetic, either operand also any built-in integer. / truncates and
    // % has the dividend's sign; either raises `big_division_by_zero` for 0.
    template <class A, class B>
    requires detail::mixed<A, B>
    friend integer operator+(const A& a, const B& b) { return computed(op::add, operand_of(a), operand_of(b)); }
    template <class A, class B>
    requires detail::mixed<A, B>
    friend integer operator-(const A& a, const B& b) { return computed(op::subtract, operand_of(a), operand_of(b)); }
    template <class A, class B>
    requires detail::mixed<A, B>
    friend integer operator*(const A& a, const B& b) { return computed(op::multiply, operand_of(a), operand_of(b)); }
    template <class A, class B>
    requires detail::mixed<A, B>
    friend integer operator/(const A& a, const B& b) { return computed(op::divide, operand_of(a), operand_of(b)); }
    template <class A, class B>
    requires detail::mixed<A, B>
    friend integer operator%(const A& a, const B& b) { return computed(op::remainder, operand_of(a), operand_of(b)); }
    // Bits of the infinite two's complement, as for built-ins: -1 & x is x,
    // ~x is -x - 1.
    template <class A, class B>
    requires detail::mixed<A, B>
    friend integer operator&(const A& a, const B& b) { return computed(op::bit_and, operand_of(a), operand_of(b)); }
    template <class A, class B>
    requires detail::mixed<A, B>
    friend integer operator|(const A& a, const B& b) { return computed(op::bit_or, operand_of(a), operand_of(b)); }
    template <class A, class B>
    requires detail::mixed<A, B>
    friend integer operator^(const A& a, const B& b) { return computed(op::bit_xor, operand_of(a), operand_of(b)); }
    integer operator~() const { return computed(op::subtract, negated(view()), one()); }
    integer operator-() const
    {
        integer r = *this;
        r.size_ = -r.size_;
        return r;
    }
    integer operator+() const { return *this; }
    // In place, in the integer's own limbs when they have room.
    template <detail::operand_type B>
    integer& operator+=(const B& b)
    {
        return add_assign(b, false);
    }
    template <detail::operand_type B>
    integer& operator-=(const B& b)
    {
        return add_assign(b, true);
    }
    template <detail::operand_type B>
    integer& operator*=(const B& b)
    {
        return compute(op::multiply, view(), operand_of(b));
    }
    template <detail::operand_type B>
    integer& operator/=(const B& b)
    {
        return compute(op::divide, view(), operand_of(b));
    }
    template <detail::operand_type B>
    integer& operator%=(const B& b)
    {
        return compute(op::remainder, view(), operand_of(b));
    }
    template <detail::operand_type B>
    integer& operator&=(const B& b)
    {
        return compute(op::bit_and, view(), operand_of(b));
    }
    template <detail::operand_type B>
    integer& operator|=(const B& b)
    {
        return compute(op::bit_or, view(), operand_of(b));
    }
    template <detail::operand_type B>
    integer& operator^=(const B& b)
    {
        return compute(op::bit_xor, view(), operand_of(b));
    }

    // Shifts as for built-ins: x << n is x * 2^n and x >> n is x / 2^n
    // rounded towards negative infinity (-5 >> 1 is -3). The count is any
    // built-in integer, never truncated; a negative one raises
    // std::invalid_argument.
    template <detail::builtin_integer N>
    friend integer operator<<(const integer& x, N count)
    {
        integer r;
        r.shift_left(x.view(), detail::count_of(count, "shift count"));
        return r;
    }
    template <detail::builtin_integer N>
    friend integer operator>>(const integer& x, N count)
    {
        integer r;
        r.shift_right(x.view(), detail::count_of(count, "shift count"));
        return r;
    }
    template <detail::builtin_integer N>
    integer& operator<<=(N count)
    {
        shift_left(view(), detail::count_of(count, "shift count"));
        return *this;
    }
    template <detail::builtin_integer N>
    integer& operator>>=(N count)
    {
        shift_right(view(), detail::count_of(count, "shift count"));
        return *this;
    }

    integer& operator++() { return add_limb(1, false); }
    integer& operator--() { return add_limb(1, true); }
    integer operator++(int)
    {
        integer old = *this;
        ++*this;
        return old;
    }
    integer operator--(int)
    {
        integer old = *this;
        --*this;
        return old;
    }

    // Values compare as numbers, also against built-in integers.
    template <detail::operand_type B>
    friend bool operator==(const integer& a, const B& b) noexcept
    {
        return compare(a.view(), operand_of(b)) == 0;
    }
    template <detail::operand_type B>
    friend std::strong_ordering operator<=>(const integer& a, const B& b) noexcept
    {
        return compare(a.view(), operand_of(b)) <=> 0;
    }

    // True when non-zero.
    explicit operator bool() const noexcept { return size_ != 0; }
    // -1, 0 or +1.
    [[nodiscard]] int sign() const noexcept { return size_ < 0 ? -1 : size_ > 0 ? 1 : 0; }
    // Bits in the magnitude; 0 for zero.
    [[nodiscard]] std::uint64_t bit_length() const noexcept
    {
        const std::size_t n = size();
        return n == 0 ? 0
                      : std::uint64_t{n} * detail::limb_bits - static_cast<unsigned>(std::countl_zero(data()[n - 1]));
    }
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
    [[nodiscard]] std::uint64_t popcount() const;
    // Bit n of the infinite two's complement set, cleared or flipped, as
    // test_bit reads it: clear_bit(0) of -1 gives -2. A negative n raises
    // std::invalid_argument.
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
    [[nodiscard]] std::uint64_t countr_zero() const;

    // Whether the value is within T's range.
    template <detail::builtin_integer T>
    [[nodiscard]] bool fits() const noexcept
    {
        constexpr auto digits = static_cast<std::uint64_t>(std::numeric_limits<T>::digits);
        const std::uint64_t bits = bit_length();
        if (sign() >= 0) {
            return bits <= digits;
        }
        if constexpr (std::is_signed_v<T>) {
            // A negative's magnitude may reach 2^digits, the most negative value.
            return bits <= digits + 1 && low_magnitude() <= std::uint64_t{1} << digits;
        }
        return false;
    }
    // The value as T; std::overflow_error naming the value and T's range
    // when it does not fit.
    template <detail::builtin_integer T>
    [[nodiscard]] T to() const
    {
        if (!fits<T>()) {
            refuse_conversion(detail::type_name<T>(), std::numeric_limits<T>::min(), std::numeric_limits<T>::max());
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
    // Another base raises `std::invalid_argument`.
    [[nodiscard]] std::string to_string(int base = 10) const;
    // The magnitude's bytes without leading zeros (one zero byte for 0), most
    // significant first for std::endian::big, least for little. The sign is
    // not written.
    [[nodiscard]] std::vector<std::byte> to_bytes(std::endian order) const;

private:
    friend struct std::hash<integer>;
    friend struct integer_internals;

    enum class op : std::uint8_t { add, subtract, multiply, divide, remainder, bit_and, bit_or, bit_xor };

    // *this = a o b, where a or b may be this integer's own value.
    integer& compute(op o, detail::operand a, detail::operand b);
    static integer computed(op o, const detail::operand& a, const detail::operand& b)
    {
        integer r;
        r.compute(o, a, b);
        return r;
    }
    // *this += b, or -= b when `subtract`: a built-in operand of one limb
    // steps the limbs in place, anything else takes the general sum.
    template <detail::operand_type B>
    integer& add_assign(const B& b, bool subtract)
    {
        if constexpr (detail::exact_integer<B>) {
            const detail::builtin_operand value(b);
            const detail::operand x = value;
            if (x.size <= 1) {
                return add_limb(x.size == 0 ? 0 : x.limbs[0], x.negative != subtract);
            }
        }
        return compute(subtract ? op::subtract : op::add, view(), operand_of(b));
    }
    // *this += m, or -= m when `negative`, in place: the carry or borrow
    // stops at the first limb that absorbs it, and only a carry out of the
    // top limb grows the storage (which, refused, leaves the value as it was).
    integer& add_limb(detail::limb m, bool negative);
    void shift_left(detail::operand x, std::uint64_t count);
    void shift_right(detail::operand x, std::uint64_t count);
    [[nodiscard]] static int compare(detail::operand a, detail::operand b) noexcept;
    [[nodiscard]] bool bit_at(std::uint64_t n) const noexcept;
    [[noreturn]] void refuse_conversion(std::string_view type, long long min, unsigned long long max) const;

    static detail::operand operand_of(const integer& x) noexcept { return x.view(); }
    template <detail::exact_integer I>
    static detail::builtin_operand operand_of(I v) noexcept
    {
        return detail::builtin_operand(v);
    }
    static detail::operand one() noexcept
    {
        static constexpr detail::limb unit = 1;
        return {&unit, 1, false};
    }
    static detail::operand negated(detail::operand x) noexcept { return {x.limbs, x.size, !x.negative && x.size != 0}; }

    // Storage: `capacity_` limbs, inside the object while it is
    // inline_limbs, else on the heap; the magnitude is the first |size_|,
    // with no zero limb on top, and size_ < 0 for a negative value.
    static constexpr std::size_t inline_limbs = 2;
    union storage {
        std::array<detail::limb, inline_limbs> local;
        detail::limb* heap;
    };
    [[nodiscard]] bool on_heap() const noexcept { return capacity_ > inline_limbs; }
    [[nodiscard]] detail::limb* data() noexcept { return on_heap() ? storage_.heap : storage_.local.data(); }
    [[nodiscard]] const detail::limb* data() const noexcept
    {
        return on_heap() ? storage_.heap : storage_.local.data();
    }
    [[nodiscard]] std::size_t size() const noexcept { return static_cast<std::size_t>(size_ < 0 ? -size_ : size_); }
    [[nodiscard]] detail::operand view() const noexcept { return {data(), size(), size_ < 0}; }
    // The magnitude modulo 2^64.
    [[nodiscard]] std::uint64_t low_magnitude() const noexcept
    {
        std::uint64_t m = 0;
        for (std::size_t i = std::min(size(), 64 / std::size_t{detail::limb_bits}); i-- > 0;) {
            m = (m << (detail::limb_bits % 64)) | data()[i];
        }
        return m;
    }

    // The value of x, in this integer's own limbs when they have room.
    void assign(detail::operand x);
    void set_small(detail::operand x) noexcept
    {
        std::copy(x.limbs, x.limbs + x.size, storage_.local.begin());
        size_ = x.negative ? -static_cast<std::ptrdiff_t>(x.size) : static_cast<std::ptrdiff_t>(x.size);
    }
    // Frees heap limbs; forget() then makes the integer an inline 0.
    void release() noexcept;
    void forget() noexcept
    {
        storage_ = storage{};
        size_ = 0;
        capacity_ = inline_limbs;
    }

    storage storage_{};
    std::ptrdiff_t size_ = 0;
    std::size_t capacity_ = inline_limbs;
};

// |x|.
[[nodiscard]] inline integer abs(const integer& x) { return x.sign() < 0 ? -x : x; }
// base^exp mod |mod|, in 0 .. |mod| - 1 for every sign of base. A negative
// exponent raises the inverse of base to |exp|, and raises
// `big_division_by_zero` when there is none, as does a zero modulus.
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
[[nodiscard]] BIGNUM_EXPORT divmod_result divmod(const integer& a, const integer& b);
// Whether |x| is a probable prime, as mpz_probab_prime_p reads a negative:
// trial division by the primes below 1024, then Baillie-PSW (a strong
// base-2 Miller-Rabin test and a strong Lucas test, which no known
// composite passes), then `rounds` - 24 more Miller-Rabin rounds to
// fixed-seed bases where `rounds` exceeds 24, so that an answer repeats.
// Exact below 2^64.
[[nodiscard]] BIGNUM_EXPORT bool is_probable_prime(const integer& x, int rounds = 25);

// Uniform in 0 .. 2^n - 1, from 64-bit words of gen; a negative n raises
// std::invalid_argument.
template <std::uniform_random_bit_generator G, detail::builtin_integer N>
[[nodiscard]] integer random_bits(G& gen, N n)
{
    const std::uint64_t bits = detail::count_of(n, "bit count");
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
    const std::uint64_t bits = (bound - 1).bit_length();
    integer r = random_bits(gen, bits);
    while (r >= bound) {
        r = random_bits(gen, bits);
    }
    return r;
}
// The least probable prime above x (2 for any x below 2), by
// is_probable_prime's test after a sieve of small primes.
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
// n!, by products of odd parts over a binary split; a negative n raises
// std::invalid_argument.
[[nodiscard]] BIGNUM_EXPORT integer factorial(std::uint64_t n);
template <detail::builtin_integer N>
[[nodiscard]] integer factorial(N n)
{
    return factorial(detail::count_of(n, "factorial argument"));
}
// n choose k, 0 for k > n; a negative n or k raises std::invalid_argument.
[[nodiscard]] BIGNUM_EXPORT integer binomial(std::uint64_t n, std::uint64_t k);
template <detail::builtin_integer N, detail::builtin_integer K>
[[nodiscard]] integer binomial(N n, K k)
{
    return binomial(detail::count_of(n, "binomial argument"), detail::count_of(k, "binomial argument"));
}
// The n-th Fibonacci number, F(0) = 0, F(1) = 1, by fast doubling; a
// negative n raises std::invalid_argument.
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
// when the input ended. Memory running out in the middle of a number sets
// badbit, x unchanged, and raises again only where `exceptions()` asks.
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

// Agrees with ==: the magnitude's limbs and the sign.
template <>
struct std::hash<bignum::integer> {
    std::size_t operator()(const bignum::integer& x) const noexcept
    {
        std::size_t seed = x.sign() < 0 ? 1 : 0;
        for (const bignum::detail::limb l : std::span(x.data(), x.size())) {
            seed ^= std::hash<bignum::detail::limb>{}(l) + 0x9E3779B9U + (seed << 6U) + (seed >> 2U);
        }
        return seed;
    }
};

// Unbounded: no bound but memory. Every
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
