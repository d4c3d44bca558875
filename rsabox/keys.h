// SPDX-License-Identifier: MIT
// The built-in RSA key: a 256-bit modulus and the private exponent that
// matches the public exponent 17.

#ifndef RSABOX_KEYS_H
#define RSABOX_KEYS_H

#include <cstdint>

namespace rsabox {

inline constexpr const char* modulus = "CA623EBA8380762A7B9AE5539D5F82E77C6BE0928963B84C1F4A3BB22479340F";
inline constexpr const char* private_exponent = "6B24F40863BC7ACB32610FFF171472799BC2B831F88C3E96AAAFE476DDC526B1";
inline constexpr std::uint32_t public_exponent = 17;

} // namespace rsabox

#endif // RSABOX_KEYS_H
