// SPDX-License-Identifier: MIT
#include <bignum/bignum.h>
#include <cstdio>

int main()
{
    big_set_precision(512); // before the first big_new
    BigNum* n = big_new();
    BigNum* x = big_new_word(3);
    BigNum* e = big_new_word(65537);
    big_from_dec("1000000007", n);
    big_powmod(x, e, n, x); // x = 3^65537 mod n, in place
    char text[10 * 64 + 2]; // 10 x capacity + 2 holds any value
    big_to_dec(x, text);
    std::puts(text); // 754428556
    big_free(e), big_free(x), big_free(n);
}
