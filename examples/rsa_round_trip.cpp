// SPDX-License-Identifier: MIT
// Textbook RSA with two Mersenne primes: encrypt a number with the public
// key, decrypt it with the private one.

#include <bignum/integer.h>

#include <iostream>

int main()
{
    using bignum::integer;
    const integer p = (integer(1) << 127) - 1;
    const integer q = (integer(1) << 107) - 1;
    const integer n = p * q;
    const integer e = 65537;
    const integer d = bignum::inv_mod(e, bignum::lcm(p - 1, q - 1));
    const integer message("123456789012345678901234567890");
    const integer cipher = bignum::pow_mod(message, e, n);
    std::cout << "modulus:   " << std::hex << std::showbase << n << '\n';
    std::cout << "encrypted: " << cipher << '\n';
    std::cout << "decrypted: " << std::dec << bignum::pow_mod(cipher, d, n) << '\n';
}
