// SPDX-License-Identifier: MIT
// A program body that lets a library exception escape: the library error, or
// with the argument "divide" a division by zero.

#include "bignum/platform/system.h"

#include <bignum/bignum.h>

#include <memory>
#include <string_view>

namespace {

bool divide = false;

void body()
{
    if (divide) {
        const std::unique_ptr<BigNum, void (*)(BigNum*)> one(big_new_word(1), big_free);
        static_cast<void>(big_div_word(one.get(), 0, nullptr));
    }
    big_raise_error(big_error::reason::capacity_exceeded);
}

} // namespace

int main(int argc, char** argv)
{
    divide = argc > 1 && std::string_view(argv[1]) == "divide";
    bignum::platform::run_guarded("unhandled_error", body);
    bignum::platform::exit_process(0);
}
