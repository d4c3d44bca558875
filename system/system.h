// SPDX-License-Identifier: MIT
// The programs' view of the operating system: standard streams, console input
// modes, a message box, process exit and the end of a process whose library
// exception nobody caught. Each platform implements this in its own folder;
// the library itself never uses it.
//
// Results are reported as on Windows: a byte count through an out parameter
// and a success flag, which callers are free to ignore. A failed write is
// remembered all the same, and the process's exit reports it.

#ifndef BIGNUM_SYSTEM_SYSTEM_H
#define BIGNUM_SYSTEM_SYSTEM_H

#include <cstdint>

namespace bignum::platform {

// A HANDLE on Windows, a file descriptor elsewhere.
enum class Handle : std::intptr_t {};

enum class StandardStream { input, output };

// Console input mode bits, valued as the Windows console defines them.
inline constexpr std::uint32_t input_processed = 1; // Ctrl+C and friends act as signals
inline constexpr std::uint32_t input_line = 2;      // a read completes at the end of a line
inline constexpr std::uint32_t input_echo = 4;      // typed characters are shown

// How a process ends when a library exception escapes its body: the code of
// the exception the platform is told about.
enum class Failure : std::uint32_t {
    library_error = 0x0BADC0DE,
    division_by_zero = 0xC0000094, // the system's own integer division by zero
};

[[nodiscard]] Handle standard_handle(StandardStream stream) noexcept;

// Applies the three modes to the input's settings as they were before the
// first change, keeping the rest of them; the process puts those settings
// back whenever it ends in a way it can catch. Fails, changing nothing, when
// the handle is not a console or terminal.
bool set_input_mode(Handle input, std::uint32_t mode) noexcept;

// Reads at most `size` bytes; at the end of input it succeeds with count 0.
bool read_bytes(Handle input, void* buffer, std::uint32_t size, std::uint32_t& count) noexcept;

// Issues the write even when `size` is 0.
bool write_bytes(Handle output, const void* bytes, std::uint32_t size, std::uint32_t& count) noexcept;

// A modal box with the text, the caption "Error" and an OK button; returns
// once the user has closed it. On Linux a GTK dialog where the build has GTK
// and the process a display (a display named but not opened is named on
// standard error before the first box), otherwise the text framed on the
// terminal. A frame that cannot be written ends the process at once, as
// `exit_process` after a failed write, before any wait for Enter; a lost
// display connection or a dialog window destroyed from outside ends it with
// `box_lost_status`, after one line on standard error saying which.
void message_box(const char* text);

inline constexpr std::uint32_t box_lost_status = 2;

// Ends the process with `status`; after a failed write, with status 1 and one
// line on standard error naming the program and the first failure.
[[noreturn]] void exit_process(const char* program, std::uint32_t status) noexcept;

// The name `run_program` was given, for the layer's own messages.
[[nodiscard]] const char* program_name() noexcept;

// Runs `body`, then ends the process through `exit_process` with status 0.
// Any exception escaping it ends the process at once through
// `end_unhandled`, as an unhandled exception would: a zero divisor as
// `division_by_zero`, everything else (an exhausted heap included) as
// `library_error`.
[[noreturn]] void run_program(const char* program, void (*body)());

// On Windows raises the failure's exception code; elsewhere prints one line
// naming the program, the failure and its code to standard error and exits
// with a non-zero status.
[[noreturn]] void end_unhandled(const char* program, Failure failure) noexcept;

} // namespace bignum::platform

#endif // BIGNUM_SYSTEM_SYSTEM_H
