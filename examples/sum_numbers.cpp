// SPDX-License-Identifier: MIT
// Sums the numbers in a file, or on standard input: decimal, or hexadecimal
// after 0x, separated by white space, read with operator>> as the standard
// library reads a long long.

#include <bignum/integer.h>

#include <fstream>
#include <iostream>

int main(int argc, char** argv)
{
    std::ifstream file;
    if (argc > 1) {
        file.open(argv[1]);
        if (!file) {
            std::cerr << "sum_numbers: cannot open " << argv[1] << '\n';
            return 1;
        }
    }
    std::istream& in = argc > 1 ? file : std::cin;
    // No basefield: 0x means hexadecimal (and a leading 0 octal), as for scanf's %i.
    in.unsetf(std::ios_base::basefield);
    bignum::integer sum;
    bignum::integer x;
    int count = 0;
    while (in >> x) {
        sum += x;
        ++count;
    }
    if (!in.eof()) {
        std::cerr << "sum_numbers: something other than a number after " << count << " numbers\n";
        return 1;
    }
    std::cout << count << " numbers, sum " << sum << '\n';
}
