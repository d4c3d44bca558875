// SPDX-License-Identifier: MIT
// The built-in primes, 256 bits each: 65537 is invertible modulo
// (p - 1)(q - 1), so they make an RSA key with that public exponent.

#ifndef RSACON_KEYS_H
#define RSACON_KEYS_H

#include <cstdint>

namespace rsacon {

inline constexpr const char* prime_p = "E5FCFEFA33434378B27EFD6308318CDE1D17773D64C63BF94D3E07A90146BBC9";
inline constexpr const char* prime_q = "D61CDA9412B16D79CC38E44DBB70E0B8EBA4235C56C702A44FF134702CC11D97";
inline constexpr std::uint32_t public_exponent = 65537;

} // namespace rsacon

#endif // RSACON_KEYS_H
