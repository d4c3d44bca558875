// SPDX-License-Identifier: MIT
// 100! in decimal and in hexadecimal.

#include <bignum/integer.h>

#include <iostream>

int main()
{
    bignum::integer factorial = 1;
    for (int k = 2; k <= 100; ++k) {
        factorial *= k;
    }
    std::cout << "100! = " << factorial << '\n';
    std::cout << "100! = " << std::hex << std::showbase << factorial << '\n';
}
