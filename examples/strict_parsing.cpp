// SPDX-License-Identifier: MIT
// Reading numbers from text as user input should be read: all of it, or an
// error that says where it went wrong.

#include <bignum/integer.h>

#include <array>
#include <iostream>
#include <string_view>

int main()
{
    struct Input {
        std::string_view text;
        int base;
    };
    const std::array inputs{Input{"-0x1F", 16}, Input{"0b101010", 2}, Input{"+42", 10},
                            Input{"12x3", 10},  Input{"42 ", 10},     Input{"0x", 16}};
    for (const auto& [text, base] : inputs) {
        std::cout << '"' << text << "\" in base " << base << ": ";
        try {
            std::cout << bignum::integer::parse(text, base) << '\n';
        } catch (const bignum::parse_error& error) {
            std::cout << error.what() << '\n';
        }
    }
}
