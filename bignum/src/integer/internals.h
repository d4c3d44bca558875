// SPDX-License-Identifier: MIT
// What the value type's sources share: its limbs as spans, room for a
// result that keeps the strong guarantee, and the texts of its refusals.
// Not installed.

#ifndef BIGNUM_SRC_INTEGER_INTERNALS_H
#define BIGNUM_SRC_INTEGER_INTERNALS_H

#include "../limbs/limbs.h"

#include <bignum/integer.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>

namespace bignum {

static_assert(std::is_same_v<limbs::limb, detail::limb>, "the value type's limbs are the routines' limbs");

struct integer_internals {
    using limb = limbs::limb;

    // The most limbs a magnitude may have: its bytes fit a ptrdiff_t and
    // its bits a 64-bit count.
    static constexpr std::size_t max_limbs =
        std::min<std::uint64_t>(std::numeric_limits<std::ptrdiff_t>::max() / sizeof(limb),
                                std::numeric_limits<std::uint64_t>::max() / limbs::limb_bits);

    [[nodiscard]] static limbs::view magnitude(const integer& x) noexcept { return {x.data(), x.size()}; }
    [[nodiscard]] static limbs::view magnitude(detail::operand x) noexcept { return {x.limbs, x.size}; }
    [[nodiscard]] static detail::operand view(const integer& x) noexcept { return x.view(); }
    // Whether x's limbs are those of the operand (so writing them changes it).
    [[nodiscard]] static bool holds(const integer& x, detail::operand a) noexcept { return x.data() == a.limbs; }

    // n limbs, refused with std::length_error past max_limbs.
    [[nodiscard]] static std::unique_ptr<limb[]> allocate(std::uint64_t n);

    // Room for a result of up to n limbs that becomes target's value on
    // commit(): target's own limbs when `own` allows and they suffice, else a
    // few inside this object, else fresh ones. Until commit() nothing but the
    // own limbs (when chosen) is written, so a routine that raises before
    // writing its output leaves target as it was.
    class result {
    public:
        result(integer& target, std::uint64_t n, bool own);
        [[nodiscard]] limbs::span limbs() noexcept { return {data_, size_}; }
        // Takes the first `size` limbs (trimmed here) and the sign.
        void commit(std::size_t size, bool negative) noexcept;

    private:
        integer& target_;
        std::array<limb, integer::inline_limbs> nearby_{};
        std::unique_ptr<limb[]> fresh_;
        limb* data_;
        std::size_t size_;
    };

    // The division of a by d truncated, into q and r where wanted (either
    // may be null); a zero d raises big_division_by_zero naming a.
    static void divide(integer* q, integer* r, detail::operand a, detail::operand d);
};

// Copies a to `to`, which may overlap it anywhere.
inline void copy_limbs(limbs::view a, limbs::limb* to) noexcept
{
    if (std::less<>()(to, a.data())) {
        std::copy(a.begin(), a.end(), to);
    } else if (to != a.data()) {
        std::copy_backward(a.begin(), a.end(), to + a.size());
    }
}

// x in decimal for a message, shortened in the middle past 40 digits.
[[nodiscard]] std::string shown(detail::operand x);
[[nodiscard]] inline std::string shown(const integer& x) { return shown(integer_internals::view(x)); }

// Raises big_division_by_zero with the message message() builds, or the
// plain one where building it runs out of memory.
template <class Message>
[[noreturn]] void raise_division_by_zero(Message message)
{
    std::string text;
    try {
        text = message();
    } catch (const std::bad_alloc&) {
        throw big_division_by_zero{};
    }
    throw big_division_by_zero(text);
}

} // namespace bignum

#endif // BIGNUM_SRC_INTEGER_INTERNALS_H
