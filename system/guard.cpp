// SPDX-License-Identifier: MIT
#include "system.h"

#include <bignum/bignum.h>

namespace bignum::platform {

static_assert(static_cast<std::uint32_t>(Failure::library_error) == big_error::error_code);

namespace {

const char* running_program = "";

} // namespace

const char* program_name() noexcept { return running_program; }

void run_program(const char* program, void (*body)())
{
    running_program = program;
    // The process ends outside the handler, once the C++ exception is gone,
    // so that nothing of it is left to meet the platform's own unwinding.
    Failure failure{};
    try {
        body();
        exit_process(program, 0);
    } catch (const big_division_by_zero&) {
        failure = Failure::division_by_zero;
    } catch (...) {
        // The library error, the heap refusing the programs' own buffers or
        // anything unforeseen: besides a zero divisor, the library error is
        // the one failure the programs know how to end with.
        failure = Failure::library_error;
    }
    end_unhandled(program, failure);
}

} // namespace bignum::platform
