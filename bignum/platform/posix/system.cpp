// SPDX-License-Identifier: MIT
#include "../system.h"

#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace bignum::platform {

namespace {

[[nodiscard]] int descriptor(Handle h) noexcept { return static_cast<int>(h); }

void set_flag(tcflag_t& flags, tcflag_t flag, bool on) noexcept { flags = on ? (flags | flag) : (flags & ~flag); }

// Writes everything unless the descriptor fails; returns the bytes written.
// One call is made even for no bytes, as the console would.
bool write_all(int fd, const char* bytes, std::size_t size, std::size_t& written) noexcept
{
    written = 0;
    do {
        const ssize_t n = ::write(fd, bytes + written, size - written);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        written += static_cast<std::size_t>(n);
    } while (written < size);
    return true;
}

[[nodiscard]] const char* failure_name(Failure failure) noexcept
{
    return failure == Failure::library_error ? "library error" : "division by zero";
}

} // namespace

Handle standard_handle(StandardStream stream) noexcept
{
    return static_cast<Handle>(stream == StandardStream::input ? STDIN_FILENO : STDOUT_FILENO);
}

bool set_input_mode(Handle input, std::uint32_t mode) noexcept
{
    termios settings{};
    if (::tcgetattr(descriptor(input), &settings) != 0) {
        return false;
    }
    set_flag(settings.c_lflag, ISIG, (mode & input_processed) != 0);
    set_flag(settings.c_lflag, ICANON, (mode & input_line) != 0);
    set_flag(settings.c_lflag, ECHO, (mode & input_echo) != 0);
    // VMIN and VTIME may share their slots with VEOF and VEOL, so they are
    // set only when the line discipline does not read those.
    if ((mode & input_line) == 0) {
        settings.c_cc[VMIN] = 1;
        settings.c_cc[VTIME] = 0;
    }
    return ::tcsetattr(descriptor(input), TCSANOW, &settings) == 0;
}

bool read_bytes(Handle input, void* buffer, std::uint32_t size, std::uint32_t& count) noexcept
{
    ssize_t n = 0;
    do {
        n = ::read(descriptor(input), buffer, size);
    } while (n < 0 && errno == EINTR);
    count = n > 0 ? static_cast<std::uint32_t>(n) : 0;
    return n >= 0;
}

bool write_bytes(Handle output, const void* bytes, std::uint32_t size, std::uint32_t& count) noexcept
{
    std::size_t written = 0;
    const bool ok = write_all(descriptor(output), static_cast<const char*>(bytes), size, written);
    count = static_cast<std::uint32_t>(written);
    return ok;
}

void exit_process(std::uint32_t status) noexcept { std::exit(static_cast<int>(status)); }

void end_unhandled(const char* program, Failure failure) noexcept
{
    std::fprintf(stderr, "%s: unhandled %s 0x%08X\n", program, failure_name(failure), static_cast<unsigned>(failure));
    // Abruptly, as a crash would: no exit handlers run.
    std::_Exit(EXIT_FAILURE);
}

} // namespace bignum::platform
