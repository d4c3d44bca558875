// SPDX-License-Identifier: MIT
#include "terminal_box.h"

#include "../system.h"

#include <unistd.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace bignum::platform {

namespace {

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

} // namespace

void terminal_message_box(const char* text)
{
    const std::string box = framed(text);
    std::uint32_t written = 0;
    // Nobody would see the box it waits for.
    if (!write_bytes(standard_handle(StandardStream::output), box.data(), static_cast<std::uint32_t>(box.size()),
                     written)) {
        exit_process(program_name(), 1);
    }
    if (::isatty(STDIN_FILENO) != 0) {
        wait_for_enter();
    }
}

} // namespace bignum::platform
