// SPDX-License-Identifier: MIT
// The record, the two precision settings, allocation and whole-block work.

#include "../platform/heap.h"
#include "internal.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cstring>
#include <utility>

namespace {

// Blocks carry no size of their own, so the settings may change only while
// no block is alive. The limb capacity (low half) and the count of live
// blocks (high half) share one atomic word, which makes that rule hold
// across threads: big_new counts its block and reads the capacity in one
// step, and big_set_precision stores a capacity only by a compare-and-swap
// from a word whose count is zero. While a block is counted no new capacity
// can be stored, so every read of the word in its lifetime sees the capacity
// it was allocated with; an allocation that comes after the swap reads the
// new one. Every fact a reader needs is in that one word, so relaxed order
// suffices (the heap orders the blocks' own memory).
constexpr std::uint64_t one_live_block = std::uint64_t{1} << 32;
std::atomic<std::uint64_t> settings{128};

[[nodiscard]] std::uint32_t capacity_in(std::uint64_t word) noexcept { return static_cast<std::uint32_t>(word); }
[[nodiscard]] std::uint32_t live_blocks_in(std::uint64_t word) noexcept
{
    return static_cast<std::uint32_t>(word >> 32);
}
[[nodiscard]] std::uint32_t block_size_for(std::uint32_t capacity) noexcept { return 4 * capacity + 8; }

constexpr std::uint32_t largest_precision = 0x3FFF;

[[nodiscard]] std::uint32_t words_per_block() noexcept { return big_block_size() / 4; }

constexpr std::array<const char*, 12> error_messages{
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
    "bignum: library error",
};

template <std::size_t... i>
std::array<big_error, sizeof...(i)> errors_for(std::index_sequence<i...> /*reasons*/)
{
    return {big_error{static_cast<big_error::reason>(i)}...};
}

// One error per reason, built on first use; see build_errors for when.
const big_error& prebuilt_error(big_error::reason why)
{
    static const auto errors = errors_for(std::make_index_sequence<error_messages.size()>{});
    return errors.at(static_cast<std::size_t>(why));
}

// Every big_division_by_zero copies this one, so that raising it allocates
// nothing either.
const std::domain_error& division_by_zero_prototype()
{
    static const std::domain_error prototype("bignum: division by zero");
    return prototype;
}

// Builds the errors above while the heap still has room. Start-up calls it,
// so even a first big_new under an exhausted heap finds them ready; big_new
// calls it too, for start-up code in other files that may run before that.
bool build_errors()
{
    static_cast<void>(prebuilt_error(big_error::reason::storage_exhausted));
    static_cast<void>(division_by_zero_prototype());
    return true;
}

[[maybe_unused]] const bool errors_built_at_start_up = build_errors();

} // namespace

big_error::big_error(reason why) : std::runtime_error(error_messages.at(static_cast<std::size_t>(why))), why_(why) {}

big_division_by_zero::big_division_by_zero() : std::domain_error(division_by_zero_prototype()) {}

void big_raise_error() { big_raise_error(big_error::reason::general); }

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
    if (std::ranges::all_of(magnitude(divisor), [](Limb l) { return l == 0; })) {
        throw big_division_by_zero{};
    }
}

} // namespace bignum::detail

using namespace bignum::detail;

void big_set_precision(std::uint32_t bits)
{
    // A capacity of 0 holds nothing, and larger requests are refused rather
    // than cut down to a size nobody asked for.
    require(bits != 0 && bits <= largest_precision, big_error::reason::precision_out_of_range);
    const std::uint32_t capacity = ((bits + 31U) & ~31U) / 8;
    std::uint64_t seen = settings.load(std::memory_order_relaxed);
    do {
        // A change under live blocks would make every whole-block operation
        // on them overrun.
        require(live_blocks_in(seen) == 0, big_error::reason::precision_while_alive);
    } while (!settings.compare_exchange_weak(seen, capacity, std::memory_order_relaxed));
}

std::uint32_t big_limb_capacity() noexcept { return capacity_in(settings.load(std::memory_order_relaxed)); }

std::uint32_t big_block_size() noexcept { return block_size_for(big_limb_capacity()); }

std::uint32_t big_live_blocks() noexcept { return live_blocks_in(settings.load(std::memory_order_relaxed)); }

BigNum* big_new()
{
    static_cast<void>(build_errors());
    const std::uint64_t seen = settings.fetch_add(one_live_block, std::memory_order_relaxed);
    void* block = bignum::platform::heap_allocate_zeroed(block_size_for(capacity_in(seen)));
    if (block == nullptr) {
        settings.fetch_sub(one_live_block, std::memory_order_relaxed);
        big_raise_error(big_error::reason::storage_exhausted);
    }
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
    settings.fetch_sub(one_live_block, std::memory_order_relaxed);
}

void big_zero(BigNum* x)
{
    used(x) = 1;
    sign(x) = 0;
    std::memset(limbs(x), 0, big_limb_capacity() * sizeof(Limb));
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

void big_copy(BigNum* dst, const BigNum* src) { std::memmove(big_words(dst), big_words(src), big_block_size()); }

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
    require_room(used(x) < big_limb_capacity());
    limbs(x)[used(x)] = w;
    ++used(x);
}

void big_normalize(BigNum* x)
{
    // From the top of the capacity, not the used count: callers may have set
    // limbs above it and rely on this to count them.
    used(x) = big_limb_capacity();
    trim(x);
}
