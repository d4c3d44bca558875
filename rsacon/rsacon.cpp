// SPDX-License-Identifier: MIT
// rsacon: derives an RSA key from the built-in primes, carries a message
// through the private and then the public exponent, and prints every step.

#include "console.h"
#include "keys.h"

#include "system/system.h"

#include <bignum/bignum.h>

#include <array>
#include <initializer_list>

namespace {

// Written over by the decrypted bytes, terminator included.
std::array<char, 16> message{"secret message."};

void rsacon_main()
{
    big_set_precision(512);
    BigNum* p = big_new();
    BigNum* q = big_new();
    BigNum* n = big_new();
    BigNum* e = big_new();
    BigNum* phi = big_new();
    BigNum* d = big_new();
    BigNum* m = big_new();
    BigNum* ct = big_new();
    BigNum* m2 = big_new();

    big_from_hex(rsacon::prime_p, p);
    big_from_hex(rsacon::prime_q, q);
    print_str("p: ");
    print_big(p);
    print_str("q: ");
    print_big(q);

    big_mul(p, q, n);
    big_dec(p);
    big_dec(q);
    big_mul(p, q, phi);
    print_str("n: ");
    print_big(n);

    big_set_word(e, rsacon::public_exponent);
    big_invmod(e, phi, d);
    print_str("d: ");
    print_big(d);

    print_line(message.data());
    big_from_text(message.data(), message.size(), m, 0);
    print_str("m: ");
    print_big(m);

    big_powmod_mont(m, d, n, ct);
    print_str("ct: ");
    print_big(ct);
    big_powmod_mont(ct, e, n, m2);
    print_str("m: ");
    print_big(m2);

    big_to_text(m2, message.data());
    print_line(message.data());

    for (BigNum* x : {p, q, n, e, phi, d, m, ct, m2}) {
        big_free(x);
    }
    wait_key();
}

[[noreturn]] void start()
{
    bignum::platform::run_program("rsacon", [] {
        console_init();
        rsacon_main();
    });
}

} // namespace

int main() { start(); }
