// SPDX-License-Identifier: MIT
// The record, the two precision settings, allocation and whole-block work.

#include "../platform/heap.h"
#include "internal.h"

#include <array>
#include <atomic>
#include <bit>
#include <cstring>
#include <utility>

namespace {

std::uint32_t limb_capacity = 128;
std::uint32_t block_size = 520;
// Blocks carry no size of their own, so the settings may change only while
// no block is alive; counting them is what makes that checkable.
std::atomic<std::uint32_t> live_blocks{0};

constexpr std::uint32_t precision_mask = 0x3FFF;

[[nodiscard]] std::uint32_t words_per_block() noexcept { return block_size / 4; }

} // namespace

namespace {

constexpr std::array<const char*, 11> error_messages{
    "bignum: storage exhausted",
    "bignum: the heap refused to release a block",
    "bignum: result exceeds the limb capacity",
    "bignum: text longer than a block holds",
    "bignum: byte string longer than a block holds",
    "bignum: sign must be 0 or 1",
    "bignum: precision out of range",
    "bignum: precision changed while numbers are alive",
    "bignum: quotient and remainder must be different numbers",
    "bignum: x and y must be different numbers",
    "bignum: result and modulus must be different numbers",
};

// One error per reason, built on first use; big_new makes that use early,
// while the heap still has room for the messages.
const big_error& prebuilt_error(big_error::reason why)
{
    static const auto errors = []<std::size_t... i>(std::index_sequence<i...>)
    {
        return std::array{big_error{static_cast<big_error::reason>(i)}...};
    }
    (std::make_index_sequence<error_messages.size()>{});
    return errors.at(static_cast<std::size_t>(why));
}

} // namespace

big_error::big_error(reason why) : std::runtime_error(error_messages.at(static_cast<std::size_t>(why))), why_(why) {}

big_division_by_zero::big_division_by_zero() : std::domain_error("bignum: division by zero") {}

void big_raise_error(big_error::reason why) { throw prebuilt_error(why); }

namespace bignum::detail {

void trim(BigNum* x) noexcept
{
    const std::uint32_t n = significant_limbs(limbs(x), used(x));
    used(x) = n;
    if (n == 1 && limbs(x)[0] == 0) {
        sign(x) = 0;
    }
}

void copy_value(BigNum* dst, const BigNum* src) noexcept
{
    const std::uint32_t old_used = used(dst);
    const std::uint32_t n = used(src);
    std::memmove(big_words(dst), big_words(src), (2 + n) * sizeof(std::uint32_t));
    if (old_used > n) {
        std::memset(limbs(dst) + n, 0, (old_used - n) * sizeof(Limb));
    }
}

void require_nonzero_divisor(const BigNum* divisor)
{
    // By value: a zero is a zero divisor whatever used count a loader gave it.
    if (significant_limbs(limbs(divisor), used(divisor)) == 1 && limbs(divisor)[0] == 0) {
        throw big_division_by_zero{};
    }
}

} // namespace bignum::detail

using namespace bignum::detail;

void big_set_precision(std::uint32_t bits)
{
    const std::uint32_t rounded = ((bits & precision_mask) + 31U) & ~31U;
    // A capacity of 0 holds nothing; a change under live blocks would make
    // every whole-block operation on them overrun.
    require(rounded != 0, big_error::reason::precision_out_of_range);
    require(live_blocks.load() == 0, big_error::reason::precision_while_alive);
    limb_capacity = rounded / 8;
    block_size = 4 * limb_capacity + 8;
}

std::uint32_t big_limb_capacity() noexcept { return limb_capacity; }

std::uint32_t big_block_size() noexcept { return block_size; }

std::uint32_t big_live_blocks() noexcept { return live_blocks.load(); }

BigNum* big_new()
{
    static_cast<void>(prebuilt_error(big_error::reason::storage_exhausted));
    void* block = bignum::platform::heap_allocate_zeroed(block_size);
    require(block != nullptr, big_error::reason::storage_exhausted);
    ++live_blocks;
    auto* x = static_cast<BigNum*>(block);
    used(x) = 1;
    return x;
}

BigNum* big_new_word(std::uint32_t w)
{
    BigNum* x = big_new();
    limbs(x)[0] = w;
    return x;
}

void big_free(BigNum* x)
{
    if (x == nullptr) {
        return;
    }
    require(bignum::platform::heap_release(x), big_error::reason::release_refused);
    --live_blocks;
}

void big_zero(BigNum* x)
{
    used(x) = 1;
    sign(x) = 0;
    std::memset(limbs(x), 0, limb_capacity * sizeof(Limb));
}

void big_set_word(BigNum* x, std::uint32_t w)
{
    big_zero(x);
    limbs(x)[0] = w;
}

void big_set_int(BigNum* x, std::int32_t i)
{
    big_zero(x);
    sign(x) = i < 0 ? 1 : 0;
    // Two's complement negation in 32 bits: INT32_MIN gives 0x80000000.
    const auto bits = static_cast<std::uint32_t>(i);
    limbs(x)[0] = i < 0 ? 0U - bits : bits;
}

void big_copy(BigNum* dst, const BigNum* src) { std::memmove(big_words(dst), big_words(src), block_size); }

void big_swap(BigNum* a, BigNum* b)
{
    std::uint32_t* wa = big_words(a);
    std::uint32_t* wb = big_words(b);
    for (std::uint32_t i = words_per_block(); i-- > 0;) {
        const std::uint32_t t = wa[i];
        wa[i] = wb[i];
        wb[i] = t;
    }
}

std::uint32_t big_bit_length(const BigNum* x)
{
    const Limb top = limbs(x)[used(x) - 1];
    if (top == 0) {
        return 0;
    }
    return limb_bits * (used(x) - 1) + static_cast<std::uint32_t>(std::bit_width(top));
}

void big_push_limb(BigNum* x, std::uint32_t w)
{
    if (w == 0) {
        return;
    }
    require_room(used(x) < limb_capacity);
    limbs(x)[used(x)] = w;
    ++used(x);
}

void big_normalize(BigNum* x)
{
    // From the top of the capacity, not the used count: callers may have set
    // limbs above it and rely on this to count them.
    used(x) = limb_capacity;
    trim(x);
}
