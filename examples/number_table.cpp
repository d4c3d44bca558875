// SPDX-License-Identifier: MIT
// Reads numbers as sum_numbers does and lays them out with fmt: decimal
// right-aligned, hexadecimal with its prefix, then the total.

#include <bignum/format.h>
#include <bignum/integer.h>

#include <fmt/format.h>

#include <fstream>
#include <iostream>

int main(int argc, char** argv)
{
    std::ifstream file;
    if (argc > 1) {
        file.open(argv[1]);
        if (!file) {
            std::cerr << "number_table: cannot open " << argv[1] << '\n';
            return 1;
        }
    }
    std::istream& in = argc > 1 ? file : std::cin;
    in.unsetf(std::ios_base::basefield);
    bignum::integer sum;
    bignum::integer x;
    while (in >> x) {
        fmt::print("{:>+32} | {:#x}\n", x, x);
        sum += x;
    }
    fmt::print("{:=>32} |\n{:>+32} | {:#x}\n", "", sum, sum);
    if (!in.eof()) {
        std::cerr << "number_table: something other than a number after the last row\n";
        return 1;
    }
}
