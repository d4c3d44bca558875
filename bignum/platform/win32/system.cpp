// SPDX-License-Identifier: MIT
#include "../system.h"

#include <windows.h>

namespace bignum::platform {

static_assert(static_cast<DWORD>(Failure::division_by_zero) == EXCEPTION_INT_DIVIDE_BY_ZERO);

namespace {

[[nodiscard]] HANDLE native(Handle h) noexcept { return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(h)); }

} // namespace

Handle standard_handle(StandardStream stream) noexcept
{
    const DWORD which = stream == StandardStream::input ? STD_INPUT_HANDLE : STD_OUTPUT_HANDLE;
    return static_cast<Handle>(reinterpret_cast<std::intptr_t>(GetStdHandle(which)));
}

bool set_input_mode(Handle input, std::uint32_t mode) noexcept { return SetConsoleMode(native(input), mode) != 0; }

bool read_bytes(Handle input, void* buffer, std::uint32_t size, std::uint32_t& count) noexcept
{
    DWORD n = 0;
    const BOOL ok = ReadFile(native(input), buffer, size, &n, nullptr);
    count = n;
    return ok != 0;
}

bool write_bytes(Handle output, const void* bytes, std::uint32_t size, std::uint32_t& count) noexcept
{
    DWORD n = 0;
    const BOOL ok = WriteFile(native(output), bytes, size, &n, nullptr);
    count = n;
    return ok != 0;
}

void exit_process(std::uint32_t status) noexcept { ExitProcess(status); }

void end_unhandled([[maybe_unused]] const char* program, Failure failure) noexcept
{
    const auto code = static_cast<DWORD>(failure);
    RaiseException(code, 0, 0, nullptr);
    // Reached only when a debugger resumes the exception.
    ExitProcess(code);
}

} // namespace bignum::platform
