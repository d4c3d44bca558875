#include "../system.h"

#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

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

[[nodiscard]] std::vector<std::string_view> lines_of(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t from = 0;
    for (std::size_t end = text.find('\n'); end != std::string_view::npos; end = text.find('\n', from)) {
        lines.push_back(text.substr(from, end - from));
        from = end + 1;
    }
    lines.push_back(text.substr(from));
    return lines;
}

// The text in a frame, with the OK button on a line of its own below it.
[[nodiscard]] std::string framed(std::string_view text)
{
    constexpr std::string_view ok_button = "[ OK ]";
    const std::vector<std::string_view> lines = lines_of(text);
    std::size_t width = ok_button.size();
    for (std::string_view line : lines) {
        width = std::max(width, line.size());
    }
    const std::string rule = "+" + std::string(width + 2, '-') + "+\n";
    const auto row = [width](std::string_view content, std::size_t indent) {
        return "| " + std::string(indent, ' ') + std::string(content) +
               std::string(width - indent - content.size(), ' ') + " |\n";
    };
    std::string box = rule;
    for (std::string_view line : lines) {
        box += row(line, 0);
    }
    return box + rule + row(ok_button, (width - ok_button.size()) / 2) + rule;
}

// Enter closes the box; so does the end of input.
void wait_for_enter() noexcept
{
    char c = 0;
    while (::read(STDIN_FILENO, &c, 1) == 1 && c != '\n') {
    }
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

void message_box(const char* text)
{
    const std::string box = framed(text);
    std::size_t written = 0;
    write_all(STDOUT_FILENO, box.data(), box.size(), written);
    if (::isatty(STDIN_FILENO) != 0) {
        wait_for_enter();
    }
}

void exit_process(std::uint32_t status) noexcept { std::exit(static_cast<int>(status)); }

void end_unhandled(const char* program, Failure failure) noexcept
{
    std::fprintf(stderr, "%s: unhandled %s 0x%08X\n", program, failure_name(failure), static_cast<unsigned>(failure));
    // Abruptly, as a crash would: no exit handlers run.
    std::_Exit(EXIT_FAILURE);
}

} // namespace bignum::platform
