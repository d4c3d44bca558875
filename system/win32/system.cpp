// SPDX-License-Identifier: MIT
#include "../system.h"

#include <windows.h>

#include <initializer_list>

namespace bignum::platform {

static_assert(static_cast<DWORD>(Failure::division_by_zero) == EXCEPTION_INT_DIVIDE_BY_ZERO);

namespace {

// GetLastError of the first write that failed; 0 while none has.
DWORD lost_output_error = 0;

[[nodiscard]] HANDLE native(Handle h) noexcept { return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(h)); }

void write_text(HANDLE output, const char* text) noexcept
{
    DWORD written = 0;
    WriteFile(output, text, static_cast<DWORD>(lstrlenA(text)), &written, nullptr);
}

// "<program>: write error: <the system's text for the error>" and CR LF on
// standard error, composed without allocating.
void report_lost_output(const char* program) noexcept
{
    char reason[256] = "";
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                  lost_output_error, 0, reason, sizeof reason, nullptr);
    // The system's text ends in its own line break.
    while (length > 0 && (reason[length - 1] == '\r' || reason[length - 1] == '\n')) {
        reason[--length] = '\0';
    }
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    for (const char* text : {program, ": write error: ", static_cast<const char*>(reason), "\r\n"}) {
        write_text(error, text);
    }
}

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
    if (ok == 0 && lost_output_error == 0) {
        lost_output_error = GetLastError();
    }
    count = n;
    return ok != 0;
}

void exit_process(const char* program, std::uint32_t status) noexcept
{
    if (lost_output_error != 0) {
        report_lost_output(program);
        ExitProcess(1);
    }
    ExitProcess(status);
}

void end_unhandled([[maybe_unused]] const char* program, Failure failure) noexcept
{
    const auto code = static_cast<DWORD>(failure);
    RaiseException(code, 0, 0, nullptr);
    // Reached only when a debugger resumes the exception.
    ExitProcess(code);
}

} // namespace bignum::platform
