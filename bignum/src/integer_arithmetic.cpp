// SPDX-License-Identifier: MIT
// The value type's arithmetic: each operator's call into the handle API, the
// bit operations on the two's complement, the number-theory functions and
// conversions, and the refusals that name the sizes involved.

#include "capacity.h"
#include "internal.h"

#include <bignum/integer.h>

#include <algorithm>
#include <cmath>
#include <new>
#include <random>

namespace bignum {

std::uint64_t detail::bits_for_log2(double log2) noexcept
{
    const double shaved = log2 * (1 - 0x1p-40);
    return shaved >= 0x1p63 ? std::numeric_limits<std::uint64_t>::max() : static_cast<std::uint64_t>(shaved) + 1;
}

namespace {

using detail::bits_at;
using detail::bits_for_log2;
using detail::explained;
using detail::is_odd;
using detail::limb_bits;
using detail::magnitude;
using detail::require_room;

std::uint64_t saturating_add(std::uint64_t a, std::uint64_t b) noexcept
{
    return a > std::numeric_limits<std::uint64_t>::max() - b ? std::numeric_limits<std::uint64_t>::max() : a + b;
}

std::uint64_t saturating_mul(std::uint64_t a, std::uint64_t b) noexcept
{
    return b != 0 && a > std::numeric_limits<std::uint64_t>::max() / b ? std::numeric_limits<std::uint64_t>::max()
                                                                       : a * b;
}

// Throws big_error for `why` with the message build() gives; where building
// it runs out of memory, the prebuilt error for `why` instead.
template <class Build>
[[noreturn]] void raise_with_message(big_error::reason why, Build build)
{
    try {
        throw big_error(why, build());
    } catch (const std::bad_alloc&) {
        big_raise_error(why);
    }
}

std::string capacity_message(std::string_view subject, std::uint64_t bits)
{
    // A refused result needs more than the capacity, whatever the bound said.
    const std::uint64_t capacity = capacity_bits();
    const std::uint64_t needed = std::max(bits, capacity + 1);
    std::string message = "bignum: " + std::string(subject) + " needs at least " + std::to_string(needed) +
                          " bits, but the capacity is " + std::to_string(capacity) + " bits (precision " +
                          std::to_string(precision()) + "); ";
    // The capacity is four times the precision.
    const std::uint64_t holding = needed / 4 + (needed % 4 != 0 ? 1 : 0);
    if (holding > max_precision) {
        const std::uint64_t largest = std::uint64_t{detail::largest_capacity} * limb_bits;
        return message + "no precision holds it: the largest, " + std::to_string(max_precision) + ", gives " +
               std::to_string(largest) + " bits";
    }
    return message + "set the precision to " + std::to_string(holding) + " or more before creating any number";
}

// For results whose only bound is the capacity itself.
std::uint64_t past_capacity() noexcept { return 0; }

// A new integer written by write(block).
template <class Write>
integer written(Write write)
{
    integer r;
    write(r.handle());
    return r;
}

// A copy of x changed in place by change(block).
template <class Change>
integer changed(const integer& x, Change change)
{
    integer r = x;
    change(r.handle());
    return r;
}

// Index of the lowest set bit of a non-zero magnitude.
std::uint64_t lowest_set_bit(const BigNum* x) noexcept
{
    const std::uint32_t* limbs = big_limbs(x);
    std::uint32_t i = 0;
    while (limbs[i] == 0) {
        ++i;
    }
    return std::uint64_t{i} * limb_bits + static_cast<std::uint64_t>(std::countr_zero(limbs[i]));
}

// |x| truncated to its top 53 bits, which a double holds exactly: |x| is at
// least top x 2^dropped, and below (top + 1) x 2^dropped.
struct top_bits {
    std::uint64_t top;
    std::uint32_t dropped;
};
top_bits top_53_bits(const integer& x) noexcept
{
    const std::uint32_t bits = x.bit_length();
    const std::uint32_t dropped = bits > 53 ? bits - 53 : 0;
    return {bits_at(magnitude(x.handle()), dropped, 53), dropped};
}

// A lower bound of log2 |x| for a non-zero x, from its top 53 bits.
double log2_at_least(const integer& x) noexcept
{
    const auto [top, dropped] = top_53_bits(x);
    return std::log2(static_cast<double>(top)) + dropped;
}

// ---- two's complement ----

using Limbs = std::vector<std::uint32_t>;

void negate(Limbs& limbs) noexcept
{
    std::uint32_t carry = 1;
    for (std::uint32_t& limb : limbs) {
        limb = ~limb + carry;
        carry = carry != 0 && limb == 0 ? 1 : 0;
    }
}

// x in `n` limbs of two's complement; n exceeds the used count, so the top
// limb holds only sign bits.
Limbs twos_complement(const BigNum* x, std::size_t n)
{
    Limbs out(n);
    std::ranges::copy(magnitude(x), out.begin());
    if (big_sign_word(x) != 0) {
        negate(out);
    }
    return out;
}

integer from_twos_complement(Limbs limbs)
{
    const bool negative = (limbs.back() >> (limb_bits - 1)) != 0;
    if (negative) {
        negate(limbs);
    }
    while (limbs.size() > 1 && limbs.back() == 0) {
        limbs.pop_back();
    }
    require_room(limbs.size() <= big_limb_capacity());
    integer r;
    BigNum* block = r.handle();
    std::ranges::copy(limbs, detail::limbs(block));
    detail::used(block) = static_cast<std::uint32_t>(limbs.size());
    detail::sign(block) = negative ? 1 : 0;
    return r;
}

template <class Combine>
integer bitwise(const integer& a, const integer& b, Combine combine)
{
    const std::size_t n = std::max(detail::used(a.handle()), detail::used(b.handle())) + std::size_t{1};
    Limbs x = twos_complement(a.handle(), n);
    const Limbs y = twos_complement(b.handle(), n);
    std::transform(x.begin(), x.end(), y.begin(), x.begin(), combine);
    return from_twos_complement(std::move(x));
}

// a mod |m| in 0 .. |m| - 1.
integer residue(const integer& a, const integer& modulus)
{
    integer r = a % modulus;
    return r.sign() < 0 ? r + abs(modulus) : r;
}

integer from_double(double d)
{
    if (!std::isfinite(d)) {
        throw std::domain_error("bignum: a NaN or an infinity has no integer value");
    }
    // d truncated is m x 2^(e - 53) with m a 53-bit integer, exactly.
    int exponent = 0;
    const double fraction = std::frexp(std::trunc(d), &exponent);
    const auto mantissa = static_cast<std::int64_t>(std::ldexp(fraction, 53));
    if (static_cast<std::uint64_t>(std::max(exponent, 0)) > capacity_bits()) {
        raise_capacity_error("a value from a double", static_cast<std::uint64_t>(exponent));
    }
    const integer m = mantissa;
    return exponent >= 53 ? m << (exponent - 53) : m >> (53 - exponent);
}

} // namespace

void raise_capacity_error(std::string_view subject, std::uint64_t bits)
{
    raise_with_message(big_error::reason::capacity_exceeded, [&] { return capacity_message(subject, bits); });
}

void set_precision(std::uint64_t bits)
{
    if (bits == 0 || bits > max_precision) {
        raise_with_message(big_error::reason::precision_out_of_range, [&] {
            return "bignum: precision " + std::to_string(bits) + " is outside 1 .. " + std::to_string(max_precision);
        });
    }
    try {
        big_set_precision(static_cast<std::uint32_t>(bits));
    } catch (const big_error& e) {
        if (e.why() != big_error::reason::precision_while_alive) {
            throw;
        }
        raise_with_message(e.why(), [] {
            return "bignum: the precision cannot change while numbers are alive (" + std::to_string(big_live_blocks()) +
                   " now); destroy every integer first, static ones included, and free every handle";
        });
    }
}

integer::integer(double d) : x_(from_double(d).release()) {}

integer integer::binary(op o, const integer& a, const integer& b)
{
    const BigNum* x = a.value();
    const BigNum* y = b.value();
    switch (o) {
    case op::add:
        return explained("a sum", past_capacity, [&] { return changed(a, [&](BigNum* r) { big_add(r, y); }); });
    case op::subtract:
        return explained("a difference", past_capacity, [&] { return changed(a, [&](BigNum* r) { big_sub(r, y); }); });
    case op::multiply: {
        // An m-bit and an n-bit number multiply to m + n - 1 bits or one
        // more; the logarithms tell which, but for rounding.
        const auto least = [&] {
            return std::max(std::uint64_t{a.bit_length()} + b.bit_length() - 1,
                            bits_for_log2(log2_at_least(a) + log2_at_least(b)));
        };
        return explained("a product", least, [&] { return written([&](BigNum* r) { big_mul(x, y, r); }); });
    }
    case op::divide: return written([&](BigNum* q) { big_divmod(x, y, q, nullptr); });
    case op::remainder: return written([&](BigNum* r) { big_mod(x, y, r); });
    case op::bit_and: return explained("a bitwise and", past_capacity, [&] { return bitwise(a, b, std::bit_and<>()); });
    case op::bit_or: return explained("a bitwise or", past_capacity, [&] { return bitwise(a, b, std::bit_or<>()); });
    default: return explained("a bitwise xor", past_capacity, [&] { return bitwise(a, b, std::bit_xor<>()); });
    }
}

integer integer::unary(op o, const integer& x)
{
    const BigNum* v = x.value();
    switch (o) {
    case op::complement:
        // ~x = -x - 1
        return explained("a complement", past_capacity, [&] {
            return written([&](BigNum* r) {
                big_sub(r, v);
                big_dec(r);
            });
        });
    case op::increment: return explained("a sum", past_capacity, [&] { return changed(x, big_inc); });
    case op::decrement: return explained("a difference", past_capacity, [&] { return changed(x, big_dec); });
    default: return written([&](BigNum* r) { big_sub(r, v); });
    }
}

integer integer::shift_left(const integer& x, std::uint64_t count)
{
    if (x.sign() == 0) {
        return {};
    }
    const std::uint64_t bits = saturating_add(x.bit_length(), count);
    if (bits > capacity_bits()) {
        raise_capacity_error("a left shift", bits);
    }
    return written([&](BigNum* r) { big_shl_to(x.value(), static_cast<std::uint32_t>(count), r); });
}

integer integer::shift_right(const integer& x, std::uint64_t count)
{
    // The handle API truncates the magnitude; a negative that loses set bits
    // goes one further down.
    const bool negative = x.sign() < 0;
    const bool floors = negative && count > lowest_set_bit(x.value());
    // Any count past the capacity empties the magnitude alike.
    const auto kept = static_cast<std::uint32_t>(std::min<std::uint64_t>(count, capacity_bits()));
    integer r = written([&](BigNum* q) { big_shr_to(x.value(), kept, q); });
    if (floors) {
        big_dec(r.handle());
    }
    return r;
}

bool integer::bit_at(std::uint64_t n) const noexcept
{
    const BigNum* v = value();
    const bool magnitude_bit = bits_at(magnitude(v), n, 1) != 0;
    if (sign() >= 0) {
        return magnitude_bit;
    }
    // -m = ~(m - 1): below m's lowest set bit both are 0, at it both are 1,
    // and above it the bits are inverted.
    const std::uint64_t lowest = lowest_set_bit(v);
    return n == lowest || (n > lowest && !magnitude_bit);
}

std::uint32_t integer::popcount() const
{
    if (sign() < 0) {
        throw std::domain_error("bignum: popcount of a negative number, which has infinitely many set bits");
    }
    std::uint32_t count = 0;
    for (const std::uint32_t limb : magnitude(value())) {
        count += static_cast<std::uint32_t>(std::popcount(limb));
    }
    return count;
}

void integer::refuse_conversion(int digits, bool is_signed) const
{
    const std::string kind = is_signed ? "a signed" : "an unsigned";
    throw std::overflow_error("bignum: " + std::string(sign() < 0 ? "a negative" : "a") + " value of " +
                              std::to_string(bit_length()) + " bits does not fit in " + kind + " type of " +
                              std::to_string(digits + (is_signed ? 1 : 0)) + " bits");
}

double integer::to_double() const noexcept
{
    // Dropping the bits below the top 53 truncates.
    const auto [top, dropped] = top_53_bits(*this);
    const double absolute = std::ldexp(static_cast<double>(top), static_cast<int>(dropped));
    return sign() < 0 ? -absolute : absolute;
}

std::vector<std::byte> integer::to_bytes(std::endian order) const
{
    // Room for every used limb, should a loader have left zeros on top.
    const BigNum* v = value();
    const std::uint32_t used = big_used_count(v);
    std::vector<std::byte> bytes(4 * std::size_t{used});
    static_cast<void>(big_to_text(v, bytes.data()));
    const std::uint32_t top_bytes = (static_cast<std::uint32_t>(std::bit_width(big_limbs(v)[used - 1])) + 7) / 8;
    bytes.resize(4 * std::size_t{used - 1} + std::max(top_bytes, 1U));
    const auto leading_zeros =
        std::find_if(bytes.begin(), bytes.end() - 1, [](std::byte b) { return b != std::byte{0}; });
    bytes.erase(bytes.begin(), leading_zeros);
    if (order == std::endian::little) {
        std::reverse(bytes.begin(), bytes.end());
    }
    return bytes;
}

integer integer::from_bytes(std::span<const std::byte> bytes, std::endian order)
{
    const auto is_zero = [](std::byte b) { return b == std::byte{0}; };
    if (order == std::endian::little) {
        bytes = bytes.first(
            static_cast<std::size_t>(std::find_if_not(bytes.rbegin(), bytes.rend(), is_zero).base() - bytes.begin()));
    } else {
        bytes = bytes.subspan(
            static_cast<std::size_t>(std::find_if_not(bytes.begin(), bytes.end(), is_zero) - bytes.begin()));
    }
    if (bytes.empty()) {
        return {};
    }
    const std::byte top = order == std::endian::little ? bytes.back() : bytes.front();
    const std::uint64_t bits = 8 * std::uint64_t{bytes.size() - 1} +
                               static_cast<std::uint64_t>(std::bit_width(std::to_integer<unsigned>(top)));
    if (bits > capacity_bits()) {
        raise_capacity_error("a value from bytes", bits);
    }
    integer x;
    const auto load = order == std::endian::little ? big_from_raw : big_from_text;
    load(bytes.data(), static_cast<std::uint32_t>(bytes.size()), x.handle(), 0);
    big_normalize(x.handle());
    return x;
}

integer pow_mod(const integer& base, const integer& exp, const integer& mod)
{
    const integer inverse = exp.sign() < 0 ? inv_mod(base, mod) : integer();
    const integer& b = exp.sign() < 0 ? inverse : base;
    // Montgomery works in three times the modulus's limbs, the even path in twice.
    const bool odd = is_odd(mod.handle());
    const auto least = [&] { return std::uint64_t{odd ? 3U : 2U} * detail::used(mod.handle()) * limb_bits; };
    return explained(
        odd ? "pow_mod with an odd modulus, whose products take three times the modulus's limbs,"
            : "pow_mod with an even modulus, whose products take twice the modulus's limbs,",
        least, [&] { return written([&](BigNum* p) { big_powmod(b.handle(), exp.handle(), mod.handle(), p); }); });
}

integer gcd(const integer& a, const integer& b)
{
    const integer x = abs(a);
    const integer y = abs(b);
    return written([&](BigNum* r) { big_gcd(x.handle(), y.handle(), r); });
}

integer lcm(const integer& a, const integer& b)
{
    const integer x = abs(a);
    const integer y = abs(b);
    return explained("an lcm", past_capacity,
                     [&] { return written([&](BigNum* r) { big_lcm(x.handle(), y.handle(), r); }); });
}

integer inv_mod(const integer& a, const integer& m)
{
    const integer modulus = abs(m);
    const integer r = residue(a, modulus);
    if (modulus == 1) {
        return {}; // every number is 0 modulo 1, its own inverse
    }
    return written([&](BigNum* inverse) { big_invmod(r.handle(), modulus.handle(), inverse); });
}

integer pow(const integer& x, std::uint64_t n)
{
    // |x| >= 2^(k - 1) for a k-bit x, so x^n has at least (k - 1) n + 1
    // bits; the logarithm tightens that.
    const std::uint32_t bits = x.bit_length();
    const std::uint64_t least = bits > 1 ? std::max(saturating_add(saturating_mul(bits - 1, n), 1),
                                                    bits_for_log2(log2_at_least(x) * static_cast<double>(n)))
                                         : 1;
    if (least > capacity_bits()) {
        raise_capacity_error("a power", least);
    }
    return explained(
        "a power", [&] { return least; },
        [&] {
            integer r = 1;
            for (auto i = std::bit_width(n); i-- > 0;) {
                big_sqr(r.handle());
                if ((n >> i & 1U) != 0) {
                    big_mul(r.handle(), x.handle(), r.handle());
                }
            }
            return r;
        });
}

integer isqrt(const integer& x)
{
    if (x.sign() < 0) {
        throw std::domain_error("bignum: isqrt of a negative number");
    }
    if (x.sign() == 0) {
        return {};
    }
    // Newton's iteration from above falls monotonically to the floor.
    integer y = integer(1) << (x.bit_length() + 1) / 2;
    for (;;) {
        integer next = (y + x / y) >> 1;
        if (next >= y) {
            return y;
        }
        y = std::move(next);
    }
}

bool is_probable_prime(const integer& x, int rounds)
{
    const integer n = abs(x);
    if (n < 4) {
        return n >= 2;
    }
    if (!n.test_bit(0) || (n > 251 && big_small_prime_screen(n.handle()) == 0)) {
        return false;
    }
    // n - 1 = d 2^s with d odd.
    const integer n_minus_1 = n - 1;
    const std::uint64_t s = lowest_set_bit(n_minus_1.handle());
    const integer d = n_minus_1 >> s;
    const auto is_witness = [&](const integer& base) {
        integer y = pow_mod(base, d, n);
        if (y == 1 || y == n_minus_1 || y == 0) {
            return false;
        }
        for (std::uint64_t i = 1; i < s; ++i) {
            y = y * y % n;
            if (y == n_minus_1) {
                return false;
            }
        }
        return true;
    };
    // These bases decide every n below 3.3 x 10^24 (Sorenson and Webster).
    constexpr std::array<int, 12> prime_bases{2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37};
    const int count = std::max(rounds, 1);
    const bool exact = n.bit_length() <= 64;
    for (int i = 0; i < static_cast<int>(prime_bases.size()) && (exact || i < count); ++i) {
        if (is_witness(prime_bases.at(static_cast<std::size_t>(i)))) {
            return false;
        }
    }
    // Fixed pseudo-random bases, so that an answer is repeatable.
    std::mt19937_64 random(0x6D696C6C6572ULL);
    for (int i = static_cast<int>(prime_bases.size()); !exact && i < count; ++i) {
        if (is_witness(2 + integer(random()) % (n - 3))) {
            return false;
        }
    }
    return true;
}

} // namespace bignum
