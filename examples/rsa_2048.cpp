// SPDX-License-Identifier: MIT
// An RSA-2048 round trip: two 1024-bit primes drawn by random_bits and
// next_prime, the private exponent by inv_mod, encryption and decryption by
// pow_mod.

#include <bignum/integer.h>

#include <iostream>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <vector>

int main()
{
    using bignum::integer;
    // Two 1024-bit primes, the top two bits set so that their product has
    // 2048; the seed is fixed, so each run finds the same ones.
    std::mt19937_64 gen(2048);
    const auto prime = [&gen] { return next_prime(bignum::random_bits(gen, 1024) | integer(3) << 1022); };
    const integer p = prime();
    const integer q = prime();
    const integer n = p * q;
    const integer e = 65537;
    const integer d = inv_mod(e, lcm(p - 1, q - 1));

    constexpr std::string_view text = "a 2048-bit round trip";
    const integer message = integer::from_bytes(std::as_bytes(std::span{text}), std::endian::big);
    const integer cipher = pow_mod(message, e, n);
    const integer decrypted = pow_mod(cipher, d, n);
    const std::vector<std::byte> bytes = decrypted.to_bytes(std::endian::big);
    std::cout << "modulus: " << n.bit_length() << " bits\n";
    std::cout << "decrypted: " << std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()) << '\n';
    std::cout << "round trip: " << (decrypted == message && cipher != message ? "ok" : "failed") << '\n';
}
