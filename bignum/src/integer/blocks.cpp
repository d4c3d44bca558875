// SPDX-License-Identifier: MIT
// The value type beside the handle API: reading and writing blocks, and the
// handle API's precision settings with the refusals that name them.

#include "internals.h"

#include <algorithm>
#include <new>

namespace bignum {

namespace {

using limb = limbs::limb;
// Block limbs per value-type limb.
constexpr std::size_t words_per_limb = sizeof(limb) / sizeof(std::uint32_t);

// Throws big_error for `why` with the message build() gives; where building
// it runs out of memory, the prebuilt error for `why` instead.
template <class Build>
[[noreturn]] void raise_with_message(big_error::reason why, Build build)
{
    std::string message;
    try {
        message = build();
    } catch (const std::bad_alloc&) {
        big_raise_error(why);
    }
    throw big_error(why, message);
}

// The precision whose capacity holds `bits`, or 0 when none does: the
// capacity is four times the precision rounded up to a multiple of 32.
constexpr std::uint64_t largest_rounded_precision = (std::uint64_t{max_precision} + 31) / 32 * 32;
constexpr std::uint64_t largest_capacity_bits = 4 * largest_rounded_precision;

std::uint64_t precision_holding(std::uint64_t bits) noexcept
{
    const std::uint64_t quarter = bits / 4 + (bits % 4 != 0 ? 1 : 0);
    return quarter > largest_rounded_precision ? 0 : std::min<std::uint64_t>(quarter, max_precision);
}

std::string capacity_message(std::string_view subject, std::uint64_t bits)
{
    // A refused result needs more than the capacity, whatever the bound said.
    const std::uint64_t capacity = capacity_bits();
    const std::uint64_t needed = std::max(bits, capacity + 1);
    std::string message = "bignum: " + std::string(subject) + " needs at least " + std::to_string(needed) +
                          " bits, but the capacity is " + std::to_string(capacity) + " bits (precision " +
                          std::to_string(precision()) + "); ";
    const std::uint64_t holding = precision_holding(needed);
    if (holding == 0) {
        return message + "no precision holds it: the largest, " + std::to_string(max_precision) + ", gives " +
               std::to_string(largest_capacity_bits) + " bits";
    }
    return message + "set the precision to " + std::to_string(holding) + " or more before creating any number";
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

integer::integer(const BigNum* block)
{
    const std::span<const std::uint32_t> words(big_limbs(block), big_used_count(block));
    integer_internals::result r(*this, (words.size() + words_per_limb - 1) / words_per_limb, false);
    const limbs::span out = r.limbs();
    std::ranges::fill(out, 0);
    for (std::size_t i = 0; i < words.size(); ++i) {
        out[i / words_per_limb] |= limb{words[i]} << (32 * (i % words_per_limb));
    }
    // Any zero is +0, whatever its sign word.
    r.commit(out.size(), big_sign_word(block) != 0);
}

void integer::to_block(BigNum* block) const
{
    const std::uint64_t bits = bit_length();
    if (bits > capacity_bits()) {
        raise_capacity_error("the value", bits);
    }
    const std::vector<std::byte> bytes = to_bytes(std::endian::little);
    big_from_raw(bytes.data(), static_cast<std::uint32_t>(bytes.size()), block, sign() < 0 ? 1 : 0);
    big_normalize(block);
}

} // namespace bignum
