// SPDX-License-Identifier: MIT
// A program body that lets an exception escape, chosen by the argument: none
// for the library error, "divide" for a division by zero, "bad_alloc" for an
// exhausted heap outside the library, "unknown" for an exception of no
// standard type. On a terminal it first leaves line mode and echo, as
// rsacon's key wait does, so that the end can be seen to restore them.

#include "system/system.h"

#include <bignum/bignum.h>

#include <memory>
#include <new>
#include <string_view>

namespace {

namespace platform = bignum::platform;

std::string_view escape;

void body()
{
    platform::set_input_mode(platform::standard_handle(platform::StandardStream::input), platform::input_processed);
    if (escape == "divide") {
        const std::unique_ptr<BigNum, void (*)(BigNum*)> one(big_new_word(1), big_free);
        static_cast<void>(big_div_word(one.get(), 0, nullptr));
    }
    if (escape == "bad_alloc") {
        throw std::bad_alloc();
    }
    if (escape == "unknown") {
        throw 0;
    }
    big_raise_error(big_error::reason::capacity_exceeded);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1) {
        escape = argv[1];
    }
    platform::run_program("unhandled_error", body);
}
