// SPDX-License-Identifier: MIT
// rsabox: shows a message raised to the built-in private exponent, then the
// message restored by the public exponent, each in a message box.

#include "keys.h"

#include "system/system.h"

#include <bignum/bignum.h>

#include <array>
#include <initializer_list>

namespace {

constexpr std::array<char, 12> message{"neka poruka"};

void rsabox_main()
{
    big_set_precision(256);
    BigNum* n = big_new();
    BigNum* e = big_new();
    BigNum* d = big_new();
    BigNum* m = big_new();
    BigNum* ct = big_new();

    big_from_hex(rsabox::modulus, n);
    big_set_word(e, rsabox::public_exponent);
    big_from_hex(rsabox::private_exponent, d);
    big_from_raw(message.data(), message.size(), m, 0);
    big_powmod(m, d, n, ct);

    // Holds the hexadecimal of any value below a 256-bit modulus (at most 66
    // bytes), and later the restored message with its own terminator.
    std::array<char, 256> text{};
    big_to_hex(ct, text.data());
    bignum::platform::message_box(text.data());

    big_powmod(ct, e, n, m);
    big_to_raw(m, text.data());
    bignum::platform::message_box(text.data());

    for (BigNum* x : {n, e, d, m, ct}) {
        big_free(x);
    }
}

[[noreturn]] void start() { bignum::platform::run_program("rsabox", rsabox_main); }

} // namespace

int main() { start(); }
