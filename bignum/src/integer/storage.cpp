// SPDX-License-Identifier: MIT
// The value type's limbs: room for results, copies, and the conversions
// that read or write limbs directly (floating values, bytes, bits).

#include "internals.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace bignum {

using limb = limbs::limb;
using limbs::limb_bits;

std::unique_ptr<limb[]> integer_internals::allocate(std::uint64_t n)
{
    if (n > max_limbs) {
        throw std::length_error("bignum: a number of " + std::to_string(n) + " limbs is larger than any size");
    }
    return std::make_unique_for_overwrite<limb[]>(static_cast<std::size_t>(n));
}

integer_internals::result::result(integer& target, std::uint64_t n, bool own)
    : target_(target), data_(nearby_.data()), size_(static_cast<std::size_t>(std::min<std::uint64_t>(n, max_limbs)))
{
    if (own && n <= target.capacity_) {
        data_ = target.data();
    } else if (n > integer::inline_limbs) {
        fresh_ = allocate(n);
        data_ = fresh_.get();
    }
}

void integer_internals::result::commit(std::size_t size, bool negative) noexcept
{
    size = limbs::trimmed({data_, size}).size();
    integer& t = target_;
    if (size <= integer::inline_limbs && (t.on_heap() || data_ != t.data())) {
        // Small values live inside the object.
        std::array<limb, integer::inline_limbs> small{};
        std::copy(data_, data_ + size, small.begin());
        t.release();
        t.forget();
        t.storage_.local = small;
    } else if (fresh_ != nullptr) {
        t.release();
        t.storage_.heap = fresh_.release();
        t.capacity_ = size_;
    }
    const auto signed_size = static_cast<std::ptrdiff_t>(size);
    t.size_ = negative ? -signed_size : signed_size;
}

void integer::release() noexcept
{
    if (on_heap()) {
        std::unique_ptr<limb[]> freed(storage_.heap);
    }
}

void integer::assign(detail::operand x)
{
    integer_internals::result r(*this, x.size, true);
    copy_limbs(integer_internals::magnitude(x), r.limbs().data());
    r.commit(x.size, x.negative);
}

integer::integer(long double d)
{
    if (!std::isfinite(d)) {
        throw std::domain_error("bignum: a NaN or an infinity has no integer value");
    }
    // d truncated is f x 2^e with 0.5 <= |f| < 1; f's bits are read 32 at a
    // time from the top, exactly, as many as the type has.
    int exponent = 0;
    long double fraction = std::frexp(std::fabs(std::trunc(d)), &exponent);
    constexpr int chunk = 32;
    int read = 0;
    for (; fraction != 0; read += chunk) {
        fraction = std::ldexp(fraction, chunk);
        const long double whole = std::trunc(fraction);
        *this <<= chunk;
        *this += static_cast<std::uint32_t>(whole);
        fraction -= whole;
    }
    if (exponent >= read) {
        *this <<= exponent - read;
    } else {
        *this >>= read - exponent;
    }
    if (d < 0) {
        size_ = -size_;
    }
}

std::uint64_t integer::popcount() const
{
    if (sign() < 0) {
        throw std::domain_error("bignum: popcount of a negative number, which has infinitely many set bits");
    }
    std::uint64_t count = 0;
    for (const limb l : integer_internals::magnitude(*this)) {
        count += static_cast<std::uint64_t>(std::popcount(l));
    }
    return count;
}

bool integer::bit_at(std::uint64_t n) const noexcept
{
    const limbs::view m = integer_internals::magnitude(*this);
    const std::uint64_t index = n / limb_bits;
    const auto bit_of = [&](std::uint64_t i) { return i < m.size() && (m[i] >> (n % limb_bits) & 1U) != 0; };
    if (sign() >= 0) {
        return bit_of(index);
    }
    // -m = ~(m - 1): below m's lowest set bit both are 0, at it both are 1,
    // and above it the bits are inverted.
    const auto lowest_limb =
        static_cast<std::uint64_t>(std::ranges::find_if(m, [](limb l) { return l != 0; }) - m.begin());
    const std::uint64_t lowest = lowest_limb * limb_bits + static_cast<unsigned>(std::countr_zero(m[lowest_limb]));
    return n == lowest || (n > lowest && !bit_of(index));
}

void integer::refuse_conversion(std::string_view type, long long min, unsigned long long max) const
{
    throw std::overflow_error("bignum: " + shown(*this) + " does not fit in " + std::string(type) + " (" +
                              std::to_string(min) + " .. " + std::to_string(max) + ")");
}

double integer::to_double() const noexcept
{
    // The top 53 bits, which a double holds exactly; dropping the rest
    // truncates.
    const std::uint64_t bits = bit_length();
    const std::uint64_t dropped = bits > 53 ? bits - 53 : 0;
    const limbs::view m = integer_internals::magnitude(*this);
    std::uint64_t top = 0;
    for (std::uint64_t i = 53; i-- > 0;) {
        const std::uint64_t at = dropped + i;
        const bool set = at < bits && (m[at / limb_bits] >> (at % limb_bits) & 1U) != 0;
        top = top << 1U | (set ? 1U : 0U);
    }
    const int scale = static_cast<int>(std::min<std::uint64_t>(dropped, 1U << 20U));
    const double absolute = std::ldexp(static_cast<double>(top), scale);
    return sign() < 0 ? -absolute : absolute;
}

std::vector<std::byte> integer::to_bytes(std::endian order) const
{
    const std::uint64_t bits = bit_length();
    std::vector<std::byte> bytes(std::max<std::size_t>(static_cast<std::size_t>((bits + 7) / 8), 1));
    const limbs::view m = integer_internals::magnitude(*this);
    for (std::size_t i = 0; 8 * std::uint64_t{i} < bits; ++i) {
        const std::uint64_t at = 8 * std::uint64_t{i};
        bytes[i] = static_cast<std::byte>(m[at / limb_bits] >> (at % limb_bits));
    }
    if (order == std::endian::big) {
        std::ranges::reverse(bytes);
    }
    return bytes;
}

integer integer::from_bytes(std::span<const std::byte> bytes, std::endian order)
{
    constexpr std::size_t per_limb = sizeof(limb);
    integer x;
    const std::uint64_t n = (std::uint64_t{bytes.size()} + per_limb - 1) / per_limb;
    integer_internals::result r(x, n, false);
    const limbs::span out = r.limbs();
    std::ranges::fill(out, 0);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::byte b = order == std::endian::little ? bytes[i] : bytes[bytes.size() - 1 - i];
        out[i / per_limb] |= std::to_integer<limb>(b) << (8 * (i % per_limb));
    }
    r.commit(out.size(), false);
    return x;
}

} // namespace bignum
