// SPDX-License-Identifier: MIT
// Shared by the fuzz targets: reading the fuzzer's bytes, owning BigNums,
// and the checks. A failed check aborts, which libFuzzer reports as a crash
// with the input that caused it; so does any exception a target does not
// expect, because it escapes and terminates the process.

#ifndef BIGNUM_FUZZ_SUPPORT_H
#define BIGNUM_FUZZ_SUPPORT_H

#include <bignum/bignum.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <utility>
#include <vector>

namespace bignum_fuzz {

[[noreturn]] inline void fail(const char* what)
{
    std::fprintf(stderr, "bignum fuzz: check failed: %s\n", what);
    std::abort();
}

inline void check(bool ok, const char* what)
{
    if (!ok) {
        fail(what);
    }
}

// True when `operation` raised Error, false when it returned. Only Error is
// caught: big_error and big_division_by_zero are unrelated types, so the
// other one, or anything else, escapes.
template <class Error, class Operation>
[[nodiscard]] bool raises(Operation&& operation)
{
    try {
        std::forward<Operation>(operation)();
    } catch (const Error&) {
        return true;
    }
    return false;
}

// The fuzzer's bytes, consumed from the front; past the end every read is 0.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : bytes_(data, size) {}

    std::uint8_t byte()
    {
        if (bytes_.empty()) {
            return 0;
        }
        const std::uint8_t b = bytes_.front();
        bytes_ = bytes_.subspan(1);
        return b;
    }

    // Little-endian.
    std::uint32_t word()
    {
        std::uint32_t w = 0;
        for (unsigned i = 0; i < 4; ++i) {
            w |= std::uint32_t{byte()} << (8 * i);
        }
        return w;
    }

    // Up to n bytes; fewer when the input runs out.
    std::span<const std::uint8_t> take(std::size_t n)
    {
        const std::span<const std::uint8_t> taken = bytes_.first(std::min(n, bytes_.size()));
        bytes_ = bytes_.subspan(taken.size());
        return taken;
    }

    std::span<const std::uint8_t> rest() { return take(bytes_.size()); }

private:
    std::span<const std::uint8_t> bytes_;
};

// Owns one BigNum; copies are whole-block copies, moves hand the block over.
class Num {
public:
    Num() : x_(big_new()) {}
    explicit Num(std::uint32_t w) : x_(big_new_word(w)) {}
    explicit Num(const BigNum* src) : Num() { big_copy(x_, src); }
    ~Num() { big_free(x_); }
    Num(const Num& other) : Num(static_cast<const BigNum*>(other)) {}
    Num& operator=(const Num& other)
    {
        big_copy(x_, other);
        return *this;
    }
    Num(Num&& other) noexcept : x_(std::exchange(other.x_, nullptr)) {}
    Num& operator=(Num&& other) noexcept
    {
        std::swap(x_, other.x_);
        return *this;
    }

    // NOLINTNEXTLINE(google-explicit-constructor): passed where a handle goes
    operator BigNum*() const noexcept { return x_; }

private:
    BigNum* x_;
};

[[nodiscard]] inline std::uint32_t used_of(const BigNum* x) { return big_used_count(x); }
[[nodiscard]] inline std::uint32_t sign_of(const BigNum* x) { return big_sign_word(x); }
inline void set_sign(BigNum* x, std::uint32_t s) { big_words(x)[1] = s; }
[[nodiscard]] inline bool is_zero(const BigNum* x) { return used_of(x) == 1 && big_limbs(x)[0] == 0; }

// Whole blocks equal, the zero limbs above the used count included.
[[nodiscard]] inline bool same(const BigNum* a, const BigNum* b)
{
    return std::memcmp(big_words(a), big_words(b), big_block_size()) == 0;
}

// A valid block: a used count in range and a sign word of 0 or 1. Every
// operation keeps its outputs valid whatever valid blocks it is given.
inline void check_valid(const BigNum* x)
{
    check(used_of(x) >= 1 && used_of(x) <= big_limb_capacity(), "used count out of range");
    check(sign_of(x) <= 1, "sign word other than 0 or 1");
}

// Whether a limb above the used count is non-zero: valid, but no operation
// leaves a block so.
[[nodiscard]] inline bool has_stray_limbs(const BigNum* x)
{
    const std::uint32_t* l = big_limbs(x);
    return std::any_of(l + used_of(x), l + big_limb_capacity(), [](std::uint32_t limb) { return limb != 0; });
}

// What every operation keeps on operands without stray limbs, also when it
// fails: a valid block with zero limbs above the used count.
inline void check_block(const BigNum* x)
{
    check_valid(x);
    check(!has_stray_limbs(x), "non-zero limb above the used count");
}

[[nodiscard]] inline bool is_normal(const BigNum* x)
{
    if (is_zero(x)) {
        return sign_of(x) == 0;
    }
    return big_limbs(x)[used_of(x) - 1] != 0;
}

[[nodiscard]] inline Num magnitude_of(const BigNum* x)
{
    Num m(x);
    set_sign(m, 0);
    return m;
}

// The largest magnitude a block holds: every limb all ones.
[[nodiscard]] inline Num largest()
{
    const std::vector<std::uint8_t> ones(4 * std::size_t{big_limb_capacity()}, 0xFF);
    Num x;
    big_from_raw(ones.data(), static_cast<std::uint32_t>(ones.size()), x, 0);
    return x;
}

// Runs one input's checks and fails when any block outlives them: every
// operation releases its temporaries, on the error paths too.
template <class Target>
void run_without_leaks(Target&& target)
{
    std::forward<Target>(target)();
    check(big_live_blocks() == 0, "a block outlived its input: a temporary leaked");
}

} // namespace bignum_fuzz

#endif // BIGNUM_FUZZ_SUPPORT_H
