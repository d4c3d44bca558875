// SPDX-License-Identifier: MIT
// Byte strings: raw form (least significant byte first, the limb area's own
// image) and text form (most significant byte first).

#include "../internal.h"

using namespace bignum::detail;

namespace {

enum class ByteOrder { least_first, most_first };

[[nodiscard]] unsigned char byte_of(Limb v, unsigned index) noexcept
{
    return static_cast<unsigned char>(v >> (8 * index));
}

// Both loaders: the used count follows the length alone, no normalisation.
void load_bytes(const void* bytes, std::uint32_t n, BigNum* x, std::uint32_t sign_word, ByteOrder order)
{
    require(sign_word <= 1, big_error::reason::invalid_sign);
    require(n <= 4 * big_limb_capacity(), big_error::reason::bytes_too_long);
    big_zero(x);
    const auto* in = static_cast<const unsigned char*>(bytes);
    Limb* l = limbs(x);
    for (std::uint32_t i = 0; i < n; ++i) {
        const std::uint32_t position = order == ByteOrder::least_first ? i : n - 1 - i;
        l[position / 4] |= Limb{in[i]} << (8 * (position % 4));
    }
    used(x) = n == 0 ? 1 : (n + 3) / 4;
    sign(x) = sign_word;
}

} // namespace

void big_from_raw(const void* bytes, std::uint32_t n, BigNum* x, std::uint32_t sign)
{
    load_bytes(bytes, n, x, sign & 0xFFU, ByteOrder::least_first);
}

void big_from_text(const void* bytes, std::uint32_t n, BigNum* x, std::uint32_t sign)
{
    load_bytes(bytes, n, x, sign, ByteOrder::most_first);
}

std::uint32_t big_to_raw(const BigNum* x, void* buf)
{
    auto* out = static_cast<unsigned char*>(buf);
    for (const Limb limb : magnitude(x)) {
        for (unsigned b = 0; b < 4; ++b) {
            *out++ = byte_of(limb, b);
        }
    }
    return sign(x);
}

std::uint32_t big_to_text(const BigNum* x, void* buf)
{
    auto* out = static_cast<unsigned char*>(buf);
    const Limb* l = limbs(x);
    const std::uint32_t top = used(x) - 1;
    for (unsigned b = significant_bytes(l[top]); b-- > 0;) {
        *out++ = byte_of(l[top], b);
    }
    for (std::uint32_t i = top; i-- > 0;) {
        for (unsigned b = 4; b-- > 0;) {
            *out++ = byte_of(l[i], b);
        }
    }
    return sign(x);
}
